#pragma once
// The notification-area icon's state and the window procedure that stands in front of the main window
// while the program lives in the tray.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Platform.h"
#include "platform/SystemCodes.h"

namespace kestrove::basMain {

// The window behind the icon: what the hook needs of it.
class TrayHost {
  public:
    virtual Platform& trayPlatform() = 0;
    // Runs as one of the window's event handlers: errors stay inside, windows closed by it go after it.
    virtual void handleTrayEvent(const std::function<void()>& handler) = 0;
    virtual void letEventsRun() = 0;
    virtual void showFromTray() = 0;
    virtual void openTrayMenu() = 0;  // returns after the chosen item's handler has run
    // The taskbar refused the icon (a new one, or one still starting at log-on): try again for a while.
    virtual void retryTrayIcon() = 0;

  protected:
    ~TrayHost() = default;
};

// One set per process, zero until the first hide, overwritten by each hide.
extern WindowHandle TrayWindow;
extern std::uint32_t TrayIconId;
extern ProcAddress OldWindowProc;
extern NotifyIconRecord TrayIconData;
extern std::string TrayTip;
// The window the hook serves, and whether the hook is in place now (the icon there, or being retried).
extern TrayHost* TrayOwner;
extern bool TrayActive;
extern std::uint32_t TaskbarCreated;  // the message the taskbar broadcasts when it is re-created

MessageResult TrayWindowProc(WindowHandle hWnd, std::uint32_t uMsg, std::uintptr_t wParam,
                             std::intptr_t lParam);

// Hooks the window, adds the icon with "Kestrove " + status as its tip and zooms into the tray; an icon
// the taskbar refuses is left to the host's retries. False when the window must stay shown: without the
// hook nothing could bring it back.
bool AddToTray(Platform& platform, TrayHost& host, WindowHandle window, IconHandle icon,
               const std::string& status);

// Puts the main window's own procedure back and deletes the icon.
void RemoveFromTray(Platform& platform);

// Adds the icon again after the taskbar was re-created; true when it is there (also when it never went).
bool ReAddTrayIcon(Platform& platform);

// Caption zoom between the window and the notification area: 1 into the tray, 0 out of it.
void AnimateTray(std::int32_t direction, WindowHandle window, WindowService& windows);

}  // namespace kestrove::basMain
