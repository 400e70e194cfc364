// The main window's side of the tray: hiding behind the icon, the pop-up menu's items, closing down.

#include <algorithm>
#include <cstring>

#include "tray/basMain.h"
#include "ui/frmMain.h"

namespace kestrove {

using namespace basMain;

namespace {

constexpr std::size_t kTipField = sizeof(NotifyIconRecord::szTip);
constexpr int kTrayIconRetries = 5;  // one a second

}  // namespace

void frmMain::MinimizeToTray() {
    Platform& p = platform();
    if (TrayActive) {
        // Already behind the icon: a second hook would forward to itself, a second icon fails.
        hide();
        return;
    }
    TrayWindow = hWnd();
    TrayIconId = static_cast<std::uint32_t>(p.program.instance());
    TrayStatus = chckAuto.value() == 1 ? "[Activated]" : "[Not Activated]";
    TrayTip = "Kestrove " + TrayStatus + '\0';
    OldWindowProc = p.windowProcs.install(TrayWindow, TrayWindowProc);
    // Without the hook the icon could not bring the window back: stay shown, add no icon.
    if (OldWindowProc == 0) return;
    TrayOwner = this;
    if (TaskbarCreated == 0) TaskbarCreated = p.windowProcs.registerMessage("TaskbarCreated");

    TrayIconData = NotifyIconRecord{};
    TrayIconData.hWnd = TrayWindow;
    TrayIconData.cbSize = 88;
    TrayIconData.hIcon = icon();
    const std::string tip = p.codePage.toAnsi(TrayTip);
    std::memset(TrayIconData.szTip, ' ', kTipField);
    std::memcpy(TrayIconData.szTip, tip.data(), std::min(tip.size(), kTipField));
    TrayIconData.uCallbackMessage = kTrayCallbackMessage;
    TrayIconData.uID = TrayIconId;
    TrayIconData.uFlags = kTrayIconFlags;

    if (!p.shell.notifyIcon(NotifyIconMessage::Add, TrayIconData)) {
        // Never hidden without an icon to bring the window back.
        p.windowProcs.restore(TrayWindow, OldWindowProc);
        return;
    }
    TrayActive = true;
    AnimateTray(1, TrayWindow, p.windows);
    hide();
}

// A new taskbar may not take the icon at once. A few more tries, then the window comes back rather than
// stay hidden with no icon to restore it.
void frmMain::RetryTrayIcon() {
    trayIconRetries_ = 0;
    tmrTrayIcon.setEnabled(true);
}

void frmMain::tmrTrayIcon_Timer() {
    if (!TrayActive || ReAddTrayIcon(platform())) {
        tmrTrayIcon.setEnabled(false);
        return;
    }
    if (++trayIconRetries_ < kTrayIconRetries) return;
    tmrTrayIcon.setEnabled(false);
    RemoveFromTray(platform());
    show();
}

void frmMain::mnuRestore_Click() {
    RemoveFromTray(platform());
    show();
}

void frmMain::mnuExit_Click() {
    RemoveFromTray(platform());
    CloseApp();
}

void frmMain::CloseApp() {
    TrayOwner = nullptr;
    const std::vector<forms::Form*> loaded = app().loadedForms();
    for (forms::Form* form : loaded) form->unload();
}

}  // namespace kestrove
