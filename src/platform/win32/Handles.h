#pragma once
// The handle kinds the forms backend owns, and scoped use of device contexts.

#include <windows.h>

#include "platform/win32/Owned.h"

namespace kestrove::win32 {

using OwnedFont = Owned<HFONT, DeleteObject>;
using OwnedBrush = Owned<HBRUSH, DeleteObject>;
using OwnedPen = Owned<HPEN, DeleteObject>;
using OwnedMenu = Owned<HMENU, DestroyMenu>;
// Icons made by LoadImage without LR_SHARED; shared icons must never be destroyed.
using OwnedIcon = Owned<HICON, DestroyIcon>;
using OwnedWindow = Owned<HWND, DestroyWindow>;
using OwnedGlobal = Owned<HGLOBAL, GlobalFree>;

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
