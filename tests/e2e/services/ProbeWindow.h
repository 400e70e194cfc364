#pragma once
// A plain top-level window of this program for the window services to act on; destroyed with the object
// unless a check has destroyed it first.

#include <windows.h>

#include <cstdint>

namespace e2e::services {

class ProbeWindow {
  public:
    static constexpr const char* kClass = "KestroveServicesProbe";
    static constexpr const char* kTitle = "Probe Title";
    static constexpr int kLeft = 30, kTop = 40, kWidth = 200, kHeight = 100;
    // What the window's own procedure answers to kSumMessage: wParam + lParam.
    static constexpr UINT kSumMessage = WM_APP + 1;

    explicit ProbeWindow(const char* title = kTitle, DWORD style = WS_OVERLAPPED);
    ~ProbeWindow();
    ProbeWindow(const ProbeWindow&) = delete;
    ProbeWindow& operator=(const ProbeWindow&) = delete;

    HWND get() const { return window_; }
    std::uintptr_t handle() const { return reinterpret_cast<std::uintptr_t>(window_); }
    static WNDPROC originalProc();

  private:
    HWND window_;
};

}  // namespace e2e::services
