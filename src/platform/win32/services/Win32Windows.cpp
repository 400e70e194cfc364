#include "platform/win32/services/Win32Windows.h"

#include <windows.h>

#include <algorithm>

#include "platform/SystemCodes.h"
#include "platform/win32/services/HandleCasts.h"

namespace kestrove::win32 {

static_assert(sys::kGwChild == GW_CHILD && sys::kGwHwndNext == GW_HWNDNEXT);
static_assert(sys::kIdaniCaption == IDANI_CAPTION);
namespace {

RECT toRect(const ScreenRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

struct ProcessWindowSearch {
    std::span<const std::uint32_t> processIds;
    WindowVisitor& visitor;
};

BOOL CALLBACK visitTopLevel(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<ProcessWindowSearch*>(context);
    DWORD owner = 0;
    if (GetWindowThreadProcessId(window, &owner) == 0 || !IsWindowVisible(window)) return TRUE;
    if (std::find(search.processIds.begin(), search.processIds.end(), owner) == search.processIds.end())
        return TRUE;
    char name[64] = {};
    char title[256] = {};
    const int nameLength = std::max(GetClassNameA(window, name, sizeof name), 0);
    const int titleLength = std::max(GetWindowTextA(window, title, sizeof title), 0);
    return search.visitor.visit(fromHwnd(window),
                                std::string_view(name, static_cast<std::size_t>(nameLength)),
                                std::string_view(title, static_cast<std::size_t>(titleLength)));
}

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

void Win32Windows::processWindows(std::span<const std::uint32_t> processIds, WindowVisitor& visitor) {
    ProcessWindowSearch search{processIds, visitor};
    EnumWindows(visitTopLevel, reinterpret_cast<LPARAM>(&search));
}

void Win32Windows::close(WindowHandle window) { PostMessageA(toHwnd(window), WM_CLOSE, 0, 0); }

}  // namespace kestrove::win32
