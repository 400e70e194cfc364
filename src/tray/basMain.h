#pragma once
// The notification-area icon and the window procedure that stands in front of the main window while the
// program lives in the tray. One object, owned by the main window, holds both: adding puts the hook and
// the icon in place together, and one removal path takes both away, whoever asks (a menu item, the
// window's destruction, the object's own end), so that no path leaves an icon behind.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/SystemCodes.h"
#include "platform/forms/Form.h"

namespace kestrove {

class basMain final : private WindowHook {
  public:
    // The window the icon stands for, and the menu its right button opens.
    basMain(Platform& platform, forms::Form& window, forms::MenuItem& popup);
    ~basMain();
    basMain(const basMain&) = delete;
    basMain& operator=(const basMain&) = delete;

    // Hooks the window, adds the icon with "Kestrove " + status as its tip and zooms into the tray; an
    // icon the taskbar refuses is retried for a while. True at once when already in the tray. False when
    // the window must stay shown: without the hook nothing could bring it back.
    bool AddToTray(const std::string& status);
    // Puts the window's own procedure back and deletes the icon; nothing when not in the tray.
    void RemoveFromTray();
    bool inTray() const { return inTray_; }

    // A balloon from the icon, titled with the program's name; the text is Unicode. While the icon is not
    // there it waits, and shows once the icon is added or added again; a newer one replaces it.
    void ShowTrayBalloon(const std::string& text);

    MessageResult TrayWindowProc(WindowHandle hWnd, std::uint32_t uMsg, std::uintptr_t wParam,
                                 std::intptr_t lParam);

    // Caption zoom between the window and the notification area: 1 into the tray, 0 out of it.
    static void AnimateTray(std::int32_t direction, WindowHandle window, WindowService& windows);

  private:
    MessageResult windowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override {
        return TrayWindowProc(window, message, wParam, lParam);
    }
    void onTrayClick(std::intptr_t mouse);
    bool addIcon();  // NIM_ADD, or NIM_MODIFY for an icon still there
    void iconAdded();
    void startRetries();
    void retryIcon();
    void showBalloon(const std::string& text);

    Platform& platform_;
    forms::Form& window_;
    forms::MenuItem& popup_;
    forms::Timer retry_;  // a taskbar starting at log-on, or new, may refuse the icon for a while
    int retries_ = 0;
    std::uint32_t taskbarCreated_ = 0;  // what the taskbar broadcasts when it is re-created
    bool inTray_ = false;               // the hook is in place: the icon is there, or being retried
    bool iconShown_ = false;            // the taskbar took the icon
    std::optional<std::string> waitingBalloon_;

    // Zero until the first hide, overwritten by each hide, kept after a restore.
    WindowHandle TrayWindow = 0;
    std::uint32_t TrayIconId = 0;
    ProcAddress OldWindowProc = 0;
    NotifyIconRecord TrayIconData;
    std::string TrayTip;
};

}  // namespace kestrove
