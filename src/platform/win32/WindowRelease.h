#pragma once
// What the system services hold on behalf of one of the program's windows (its tray icons, a window
// procedure put in front of its own) is given up before the window is destroyed, whoever destroys it:
// otherwise a dead icon stays in the notification area until the mouse passes over it.

#include <windows.h>

namespace kestrove::win32 {

class WindowRelease {
  public:
    virtual void release(HWND window) = 0;

  protected:
    ~WindowRelease() = default;
};

}  // namespace kestrove::win32
