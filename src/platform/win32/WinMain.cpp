// The program's entry point: the real desktop, then the main window, then the message loop until the
// last window has closed.

#include <windows.h>

#include "platform/forms/Application.h"
#include "platform/win32/Win32Backend.h"
#include "platform/win32/Win32Platform.h"
#include "ui/frmMain.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        kestrove::win32::Win32Backend backend(instance);
        kestrove::win32::Win32Platform services(backend, instance);
        kestrove::forms::Application app(services.platform());
        app.form<kestrove::frmMain>().show();
        app.run();
    } catch (...) {
        return 1;  // nothing could be shown: there is no one to tell
    }
    return 0;
}
