// The program's entry point: the real desktop, then the main window, then the message loop until the
// last window has closed.

#include <windows.h>

#include <exception>

#include "platform/forms/Application.h"
#include "platform/win32/Win32Backend.h"
#include "platform/win32/Win32Platform.h"
#include "ui/frmMain.h"

// Takes the place of libstdc++'s default terminate handler, which the static link would otherwise
// bring in: that one writes the exception's demangled type to stderr, which a GUI program does not
// have, and costs the demangler and a printf. Only an exception that escapes through a system
// callback or a noexcept function gets here; the process just ends, without a message box.
void __gnu_cxx::__verbose_terminate_handler() { TerminateProcess(GetCurrentProcess(), 3); }

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
