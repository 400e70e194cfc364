#pragma once
// The notification-area icon's state and the window procedure that stands in front of the main window
// while the program lives in the tray.

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace kestrove {

class frmMain;

namespace basMain {

constexpr std::uint32_t kTrayCallbackMessage = 1039;  // WM_USER + 15
constexpr std::intptr_t kLeftButtonUp = 514;
constexpr std::intptr_t kRightButtonUp = 517;
constexpr std::uint32_t kTrayIconFlags = 7;  // message, icon, tip

// One set per process, zero until the first hide, overwritten by each hide.
extern WindowHandle TrayWindow;
extern std::uint32_t TrayIconId;
extern ProcAddress OldWindowProc;
extern NotifyIconRecord TrayIconData;
extern std::string TrayTip;
// The window the hook serves, and whether the hook and icon are in place now.
extern frmMain* TrayOwner;
extern bool TrayActive;
extern std::uint32_t TaskbarCreated;  // the message the taskbar broadcasts when it is re-created

MessageResult TrayWindowProc(WindowHandle hWnd, std::uint32_t uMsg, std::uintptr_t wParam,
                             std::intptr_t lParam);

// Puts the main window's own procedure back and deletes the icon.
void RemoveFromTray(Platform& platform);

// Adds the icon again after the taskbar was re-created; true when it is there (also when it never went).
bool ReAddTrayIcon(Platform& platform);

// Caption zoom between the window and the notification area: 1 into the tray, 0 out of it.
void AnimateTray(std::int32_t direction, WindowHandle window, WindowService& windows);

}  // namespace basMain
}  // namespace kestrove
