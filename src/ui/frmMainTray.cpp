// The main window's side of the tray: hiding behind the icon, the pop-up menu's items, closing down. The
// icon and the hook themselves are the tray object's.

#include "ui/frmMain.h"

namespace kestrove {

void frmMain::MinimizeToTray() {
    TrayStatus = chckAuto.value() == 1 ? "[Activated]" : "[Not Activated]";
    if (tray_.AddToTray(TrayStatus)) hide();
}

void frmMain::mnuRestore_Click() {
    tray_.RemoveFromTray();
    show();
}

// Another start of the program asked for this window: back from the tray as "Restore Window" brings it,
// or forward when it is shown.
void frmMain::Form_ActivateRequest() {
    if (tray_.inTray()) {
        mnuRestore_Click();
    } else {
        show();
    }
}

void frmMain::mnuExit_Click() {
    tray_.RemoveFromTray();
    CloseApp();
}

void frmMain::CloseApp() {
    const std::vector<forms::Form*> loaded = app().loadedForms();
    for (forms::Form* form : loaded) form->unload();
}

}  // namespace kestrove
