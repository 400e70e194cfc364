#pragma once
// One window class for every top-level window the backend makes (forms and its hidden helper). Each
// window carries the object that handles its messages; no exception leaves a window procedure.

#include <windows.h>

namespace kestrove::win32 {

inline constexpr char kWindowClassName[] = "KestroveWindow";

class MessageTarget {
  public:
    virtual LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

  protected:
    ~MessageTarget() = default;
};

class WindowClass {
  public:
    explicit WindowClass(HINSTANCE instance);
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;
    ~WindowClass();

    // A window of this class whose messages go to target for its whole life.
    HWND create(MessageTarget& target, DWORD exStyle, DWORD style, const char* title, int width,
                int height) const;
    HINSTANCE instance() const { return instance_; }

  private:
    HINSTANCE instance_;
    ATOM atom_;
};

}  // namespace kestrove::win32
