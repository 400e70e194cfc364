#include "platform/win32/services/Win32Windows.h"

#include <windows.h>

#include "platform/win32/services/HandleCasts.h"

namespace kestrove::win32 {
namespace {

RECT toRect(const ScreenRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

WindowHandle Win32Windows::findWindow(const char* classAnsi, const char* titleAnsi) {
    return fromHwnd(FindWindowA(classAnsi, titleAnsi));
}

WindowHandle Win32Windows::getWindow(WindowHandle window, unsigned command) {
    return fromHwnd(GetWindow(toHwnd(window), command));
}

int Win32Windows::getClassName(WindowHandle window, char* buffer, int maxCount) {
    if (buffer == nullptr || maxCount <= 0) return 0;
    const int length = GetClassNameA(toHwnd(window), buffer, maxCount);
    if (length <= 0) buffer[0] = '\0';  // a vanished window leaves the buffer as it was otherwise
    return length > 0 ? length : 0;
}

bool Win32Windows::getWindowRect(WindowHandle window, ScreenRect& rect) {
    RECT bounds{};
    if (!GetWindowRect(toHwnd(window), &bounds)) return false;
    rect = ScreenRect{bounds.left, bounds.top, bounds.right, bounds.bottom};
    return true;
}

void Win32Windows::drawAnimatedRects(WindowHandle window, int animation, const ScreenRect& from,
                                     const ScreenRect& to) {
    const RECT start = toRect(from);
    const RECT end = toRect(to);
    DrawAnimatedRects(toHwnd(window), animation, &start, &end);
}

WindowHandle Win32Windows::foregroundWindow() { return fromHwnd(GetForegroundWindow()); }

std::uint32_t Win32Windows::windowProcessId(WindowHandle window) {
    DWORD processId = 0;
    if (GetWindowThreadProcessId(toHwnd(window), &processId) == 0) return 0;
    return processId;
}

}  // namespace kestrove::win32
