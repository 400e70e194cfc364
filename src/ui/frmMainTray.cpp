// The main window's side of the tray: hiding behind the icon, what the icon's hook asks of the window,
// the pop-up menu's items, closing down.

#include "ui/frmMain.h"

namespace kestrove {

namespace {

constexpr int kTrayIconRetries = 20;  // one a second: a taskbar starting at log-on can take that long

}  // namespace

void frmMain::MinimizeToTray() {
    // Already behind the icon: a second hook would forward to itself, a second icon fails.
    if (!basMain::TrayActive) {
        TrayStatus = chckAuto.value() == 1 ? "[Activated]" : "[Not Activated]";
        if (!basMain::AddToTray(platform_, *this, hWnd(), icon(), TrayStatus)) return;
    }
    hide();
}

void frmMain::handleTrayEvent(const std::function<void()>& handler) { app().dispatch(handler); }

void frmMain::letEventsRun() { app().doEvents(); }

void frmMain::showFromTray() { show(); }

void frmMain::openTrayMenu() { popupMenu(mnuPopUp); }

// A taskbar that is new or still starting may not take the icon at once. More tries, then the window
// comes back rather than stay hidden with no icon to restore it.
void frmMain::retryTrayIcon() {
    trayIconRetries_ = 0;
    tmrTrayIcon.setEnabled(true);
}

void frmMain::tmrTrayIcon_Timer() {
    if (!basMain::TrayActive || basMain::ReAddTrayIcon(platform_)) {
        tmrTrayIcon.setEnabled(false);
        return;
    }
    if (++trayIconRetries_ < kTrayIconRetries) return;
    tmrTrayIcon.setEnabled(false);
    basMain::RemoveFromTray(platform_);
    show();
}

void frmMain::mnuRestore_Click() {
    basMain::RemoveFromTray(platform_);
    show();
}

// Another start of the program asked for this window: back from the tray as "Restore Window" brings it,
// or forward when it is shown.
void frmMain::Form_ActivateRequest() {
    if (basMain::TrayActive) {
        mnuRestore_Click();
    } else {
        show();
    }
}

void frmMain::mnuExit_Click() {
    basMain::RemoveFromTray(platform_);
    CloseApp();
}

void frmMain::CloseApp() {
    basMain::TrayOwner = nullptr;
    const std::vector<forms::Form*> loaded = app().loadedForms();
    for (forms::Form* form : loaded) form->unload();
}

}  // namespace kestrove
