#include "ProbeWindow.h"

namespace e2e::services {
namespace {

LRESULT CALLBACK probeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ProbeWindow::kSumMessage) return static_cast<LRESULT>(wParam) + lParam;
    return DefWindowProcA(window, message, wParam, lParam);
}

void registerClassOnce(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    if (GetClassInfoA(instance, ProbeWindow::kClass, &windowClass)) return;
    windowClass.lpfnWndProc = probeProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ProbeWindow::kClass;
    RegisterClassA(&windowClass);
}

}  // namespace

ProbeWindow::ProbeWindow(const char* title, DWORD style) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    registerClassOnce(instance);
    window_ = CreateWindowA(kClass, title, style, kLeft, kTop, kWidth, kHeight, nullptr, nullptr, instance,
                            nullptr);
}

ProbeWindow::~ProbeWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
}

WNDPROC ProbeWindow::originalProc() { return probeProc; }

}  // namespace e2e::services
