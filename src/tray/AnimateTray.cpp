#include <cstring>
#include <string_view>

#include "tray/basMain.h"

namespace kestrove {

namespace {

constexpr int kClassNameBuffer = 255;

}  // namespace

void basMain::AnimateTray(std::int32_t direction, WindowHandle window, WindowService& windows) {
    if (direction != 0 && direction != 1) return;

    // One buffer for every child: each read writes a NUL-ended name at its start.
    char className[kClassNameBuffer];
    ScreenRect windowRect{};
    ScreenRect trayRect{};

    const WindowHandle taskbar = windows.findWindow("Shell_TrayWnd", nullptr);
    WindowHandle candidate = taskbar != 0 ? windows.getWindow(taskbar, sys::kGwChild) : 0;
    while (candidate != 0) {
        className[0] = '\0';
        windows.getClassName(candidate, className, kClassNameBuffer);
        const std::string_view name(className, strnlen(className, sizeof className));
        if (name.find("TrayNotifyWnd") != std::string_view::npos) break;
        candidate = windows.getWindow(candidate, sys::kGwHwndNext);
    }
    // Without a notification area there is nowhere to zoom to.
    if (candidate == 0) return;

    windows.getWindowRect(window, windowRect);
    windows.getWindowRect(candidate, trayRect);
    if (direction == 1) {
        windows.drawAnimatedRects(window, sys::kIdaniCaption, windowRect, trayRect);
    } else {
        windows.drawAnimatedRects(window, sys::kIdaniCaption, trayRect, windowRect);
    }
}

}  // namespace kestrove
