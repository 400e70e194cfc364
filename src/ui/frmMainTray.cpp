// The main window's side of the tray: hiding behind the icon, what the icon's hook asks of the window,
// the pop-up menu's items, closing down.

#include "ui/frmMain.h"

namespace kestrove {

namespace {

constexpr int kTrayIconRetries = 5;  // one a second

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

// A new taskbar may not take the icon at once. A few more tries, then the window comes back rather than
// stay hidden with no icon to restore it.
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
