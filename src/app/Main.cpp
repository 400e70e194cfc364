// The program's entry point: the real desktop, then the main window, then the message loop until the
// last window has closed. MinGW's start-up code calls main in a GUI program too, so nothing here
// needs the system's headers.

#include "platform/forms/Application.h"
#include "platform/win32/Desktop.h"
#include "ui/frmMain.h"

int main() {
    try {
        kestrove::win32::runOnDesktop([](kestrove::forms::Backend& backend, kestrove::Platform& platform) {
            kestrove::forms::Application app(backend);
            app.form<kestrove::frmMain>(platform).show();
            app.run();
        });
    } catch (...) {
        return 1;  // nothing could be shown: there is no one to tell
    }
    return 0;
}
