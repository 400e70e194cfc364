#include "tray/basMain.h"
#include "ui/frmMain.h"

namespace kestrove::basMain {

WindowHandle TrayWindow = 0;
std::uint32_t TrayIconId = 0;
ProcAddress OldWindowProc = 0;
NotifyIconRecord TrayIconData;
std::string TrayTip;
frmMain* TrayOwner = nullptr;
bool TrayActive = false;
std::uint32_t TaskbarCreated = 0;

void RemoveFromTray(Platform& platform) {
    if (OldWindowProc != 0) platform.windowProcs.restore(TrayWindow, OldWindowProc);
    platform.shell.notifyIcon(NotifyIconMessage::Delete, TrayIconData);
    TrayActive = false;
}

bool ReAddTrayIcon(Platform& platform) {
    return platform.shell.notifyIcon(NotifyIconMessage::Add, TrayIconData) ||
           platform.shell.notifyIcon(NotifyIconMessage::Modify, TrayIconData);
}

MessageResult TrayWindowProc(WindowHandle hWnd, std::uint32_t uMsg, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    frmMain* owner = TrayOwner;
    if (owner == nullptr) return 0;
    Platform& platform = owner->platform();
    WindowProcService& procs = platform.windowProcs;
    const ProcAddress previous = OldWindowProc;

    owner->app().dispatch([&] {
        if (uMsg == TaskbarCreated && TrayActive) {
            // The taskbar was re-created (its process restarted) and our icon went with it.
            if (!ReAddTrayIcon(platform)) owner->RetryTrayIcon();
            return;
        }
        if (static_cast<std::uint32_t>(wParam) != TrayIconId) return;
        if (lParam == kLeftButtonUp) {
            RemoveFromTray(platform);
            AnimateTray(0, owner->hWnd(), platform.windows);
            owner->app().doEvents();
            owner->show();
            owner->app().doEvents();
        } else if (lParam == kRightButtonUp) {
            // Foreground first and a null message after, or the menu stays open when the user clicks
            // elsewhere.
            procs.setForeground(TrayWindow);
            owner->popupMenu(owner->mnuPopUp);
            if (procs.isWindow(TrayWindow)) procs.postNull(TrayWindow);
        }
    });

    // After "Exit" the window is gone and there is nothing to forward to.
    if (!procs.isWindow(hWnd)) return 0;
    return procs.call(previous, hWnd, uMsg, wParam, lParam);
}

}  // namespace kestrove::basMain
