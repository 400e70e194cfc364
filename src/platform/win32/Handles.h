#pragma once
// The handle kinds the forms backend owns, and scoped use of device contexts.

#include <windows.h>

#include "platform/win32/Owned.h"

namespace kestrove::win32 {

template <class T>
struct GdiObjectTraits {
    using Handle = T;
    static T none() { return nullptr; }
    static void close(T h) { DeleteObject(h); }
};
using OwnedFont = Owned<GdiObjectTraits<HFONT>>;
using OwnedBrush = Owned<GdiObjectTraits<HBRUSH>>;
using OwnedPen = Owned<GdiObjectTraits<HPEN>>;

struct MenuTraits {
    using Handle = HMENU;
    static HMENU none() { return nullptr; }
    static void close(HMENU h) { DestroyMenu(h); }
};
using OwnedMenu = Owned<MenuTraits>;

// Icons made by LoadImage without LR_SHARED; shared icons must never be destroyed.
struct IconTraits {
    using Handle = HICON;
    static HICON none() { return nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
};
using OwnedIcon = Owned<IconTraits>;

struct WindowTraits {
    using Handle = HWND;
    static HWND none() { return nullptr; }
    static void close(HWND h) { DestroyWindow(h); }
};
using OwnedWindow = Owned<WindowTraits>;

struct GlobalTraits {
    using Handle = HGLOBAL;
    static HGLOBAL none() { return nullptr; }
    static void close(HGLOBAL h) { GlobalFree(h); }
};
using OwnedGlobal = Owned<GlobalTraits>;

// BeginPaint ... EndPaint around one WM_PAINT.
class PaintScope {
  public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &ps_); }
    HDC dc() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// GetDC ... ReleaseDC; a null window gives the screen.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// SelectObject with the previous object put back at the end of the scope.
class SelectScope {
  public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
    ~SelectScope() {
        if (previous_) SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace kestrove::win32
