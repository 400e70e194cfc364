#include "platform/win32/services/Win32WindowProcs.h"

#include <windows.h>

#include "platform/win32/services/HandleCasts.h"

// A portable hook has no system calling convention, so the window gets a trampoline that finds the
// installed hook in a property of the window itself: no global state, and any number of windows.

namespace kestrove::win32 {
namespace {

constexpr const char* kHookProperty = "Kestrove.WindowHook";
// The procedure replaced by install(), so that a failing portable proc still leaves the window working.
constexpr const char* kPreviousProperty = "Kestrove.PreviousWindowProc";

void forgetProcs(HWND window) {
    RemovePropA(window, kHookProperty);
    RemovePropA(window, kPreviousProperty);
}

// Nothing may unwind into the system's dispatcher. A hook that fails leaves the message the handling it
// would have had without the hook.
LRESULT dispatch(WindowHook* hook, WNDPROC previous, HWND window, UINT message, WPARAM wParam,
                 LPARAM lParam) noexcept {
    if (hook != nullptr) {
        try {
            return hook->windowProc(fromHwnd(window), message, wParam, lParam);
        } catch (...) {
        }
    }
    return previous != nullptr ? CallWindowProcA(previous, window, message, wParam, lParam)
                               : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    // Both are read before the hook runs: it may restore the window and so remove them.
    auto* const hook = static_cast<WindowHook*>(GetPropA(window, kHookProperty));
    const auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProperty));
    const LRESULT result = dispatch(hook, previous, window, message, wParam, lParam);
    // A window destroyed while hooked must not keep its properties.
    if (message == WM_NCDESTROY) forgetProcs(window);
    return result;
}

}  // namespace

ProcAddress Win32WindowProcs::install(WindowHandle window, WindowHook& hook) {
    const HWND hwnd = toHwnd(window);
    // The properties come first: the trampoline can be called as soon as it is in place.
    if (!SetPropA(hwnd, kHookProperty, &hook)) {
        return 0;
    }
    // Installing over the trampoline itself keeps the first replaced procedure as the fallback; the
    // caller still gets the trampoline back, as the system reports it.
    const LONG_PTR current = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    if (current != reinterpret_cast<LONG_PTR>(&trampoline) &&
        !SetPropA(hwnd, kPreviousProperty, reinterpret_cast<HANDLE>(current))) {
        forgetProcs(hwnd);
        return 0;
    }
    const LONG_PTR previous = SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&trampoline));
    if (previous == 0) forgetProcs(hwnd);
    return static_cast<ProcAddress>(previous);
}

void Win32WindowProcs::restore(WindowHandle window, ProcAddress previous) {
    if (previous == 0) return;  // a window without a procedure would crash at its next message
    const HWND hwnd = toHwnd(window);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, static_cast<LONG_PTR>(previous));
    forgetProcs(hwnd);
}

MessageResult Win32WindowProcs::call(ProcAddress proc, WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) {
    return CallWindowProcA(reinterpret_cast<WNDPROC>(proc), toHwnd(window), message, wParam, lParam);
}

bool Win32WindowProcs::isWindow(WindowHandle window) { return IsWindow(toHwnd(window)) != FALSE; }

std::uint32_t Win32WindowProcs::registerMessage(const std::string& name) {
    return RegisterWindowMessageA(name.c_str());
}

void Win32WindowProcs::setForeground(WindowHandle window) { SetForegroundWindow(toHwnd(window)); }

void Win32WindowProcs::postNull(WindowHandle window) { PostMessageA(toHwnd(window), WM_NULL, 0, 0); }

}  // namespace kestrove::win32
