#include "platform/win32/WindowClass.h"

#include "platform/Types.h"

namespace kestrove::win32 {
namespace {

MessageTarget* targetOf(HWND window) {
    return reinterpret_cast<MessageTarget*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK targetWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    MessageTarget* target = targetOf(window);
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (target == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    try {
        return target->onMessage(window, message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

WindowClass::WindowClass(HINSTANCE instance) : instance_(instance) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = targetWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kWindowClassName;
    atom_ = RegisterClassA(&wc);
    if (atom_ == 0) throw RuntimeError("cannot register the window class");
}

WindowClass::~WindowClass() { UnregisterClassA(kWindowClassName, instance_); }

HWND WindowClass::create(MessageTarget& target, DWORD exStyle, DWORD style, const char* title, int width,
                         int height) const {
    HWND window = CreateWindowExA(exStyle, kWindowClassName, title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  width, height, nullptr, nullptr, instance_, &target);
    if (window == nullptr) throw RuntimeError("cannot create a window");
    return window;
}

}  // namespace kestrove::win32
