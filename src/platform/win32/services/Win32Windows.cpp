#include "platform/win32/services/Win32Windows.h"

#include <windows.h>

#include "platform/SystemCodes.h"
#include "platform/win32/services/HandleCasts.h"

namespace kestrove::win32 {

static_assert(sys::kGwChild == GW_CHILD && sys::kGwHwndNext == GW_HWNDNEXT);
static_assert(sys::kIdaniCaption == IDANI_CAPTION);
namespace {

RECT toRect(const ScreenRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

struct ProcessWindowSearch {
    DWORD processId;
    HWND dialog = nullptr;
    HWND other = nullptr;
};

BOOL CALLBACK visitTopLevel(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<ProcessWindowSearch*>(context);
    DWORD owner = 0;
    if (GetWindowThreadProcessId(window, &owner) == 0 || owner != search.processId) return TRUE;
    if (!IsWindowVisible(window)) return TRUE;
    char name[8] = {};
    if (GetClassNameA(window, name, sizeof name) > 0 && lstrcmpA(name, "#32770") == 0) {
        search.dialog = window;
        return FALSE;
    }
    if (search.other == nullptr) search.other = window;
    return TRUE;
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

WindowHandle Win32Windows::processWindow(std::uint32_t processId) {
    ProcessWindowSearch search{processId};
    EnumWindows(visitTopLevel, reinterpret_cast<LPARAM>(&search));
    return fromHwnd(search.dialog != nullptr ? search.dialog : search.other);
}

}  // namespace kestrove::win32
