#include <algorithm>
#include <cstring>

#include "tray/basMain.h"

namespace kestrove::basMain {

WindowHandle TrayWindow = 0;
std::uint32_t TrayIconId = 0;
ProcAddress OldWindowProc = 0;
NotifyIconRecord TrayIconData;
std::string TrayTip;
TrayHost* TrayOwner = nullptr;
bool TrayActive = false;
std::uint32_t TaskbarCreated = 0;

namespace {

constexpr std::size_t kTipField = sizeof(NotifyIconRecord::szTip);

}  // namespace

bool AddToTray(Platform& platform, TrayHost& host, WindowHandle window, IconHandle icon,
               const std::string& status) {
    TrayWindow = window;
    TrayIconId = static_cast<std::uint32_t>(platform.program.instance());
    TrayTip = "Kestrove " + status + '\0';
    OldWindowProc = platform.windowProcs.install(TrayWindow, TrayWindowProc);
    if (OldWindowProc == 0) return false;
    TrayOwner = &host;
    if (TaskbarCreated == 0) TaskbarCreated = platform.windowProcs.registerMessage("TaskbarCreated");

    TrayIconData = NotifyIconRecord{};
    TrayIconData.hWnd = TrayWindow;
    TrayIconData.cbSize = sys::kNotifyIconDataV1Size;
    TrayIconData.hIcon = icon;
    const std::string tip = platform.codePage.toAnsi(TrayTip);
    std::memset(TrayIconData.szTip, ' ', kTipField);
    std::memcpy(TrayIconData.szTip, tip.data(), std::min(tip.size(), kTipField));
    TrayIconData.uCallbackMessage = sys::kTrayCallbackMessage;
    TrayIconData.uID = TrayIconId;
    TrayIconData.uFlags = sys::kNifMessageIconTip;

    TrayActive = true;
    if (!platform.shell.notifyIcon(NotifyIconMessage::Add, TrayIconData)) host.retryTrayIcon();
    AnimateTray(1, TrayWindow, platform.windows);
    return true;
}

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
    TrayHost* owner = TrayOwner;
    if (owner == nullptr) return 0;
    Platform& platform = owner->trayPlatform();
    WindowProcService& procs = platform.windowProcs;
    const ProcAddress previous = OldWindowProc;

    owner->handleTrayEvent([&] {
        if (uMsg == TaskbarCreated && TrayActive) {
            // The taskbar was re-created (its process restarted) and our icon went with it.
            if (!ReAddTrayIcon(platform)) owner->retryTrayIcon();
            return;
        }
        if (static_cast<std::uint32_t>(wParam) != TrayIconId) return;
        if (lParam == sys::kWmLButtonUp) {
            RemoveFromTray(platform);
            AnimateTray(0, TrayWindow, platform.windows);
            owner->letEventsRun();
            owner->showFromTray();
            owner->letEventsRun();
        } else if (lParam == sys::kWmRButtonUp) {
            // Foreground first, or the menu stays open when the user clicks elsewhere; a null message
            // after, or the next opening closes at once.
            procs.setForeground(TrayWindow);
            owner->openTrayMenu();
            if (procs.isWindow(TrayWindow)) procs.postNull(TrayWindow);
        }
    });

    // After "Exit" the window is gone and there is nothing to forward to.
    if (!procs.isWindow(hWnd)) return 0;
    return procs.call(previous, hWnd, uMsg, wParam, lParam);
}

}  // namespace kestrove::basMain
