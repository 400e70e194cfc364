#pragma once

#include <windows.h>

namespace kestrove::win32 {

// One press of the Enter key for a window of any process. It is handed over without waiting for the
// window to act on it: a busy window holds this program up for a moment at most.
void pressEnter(HWND window);

}  // namespace kestrove::win32
