#pragma once

#include <windows.h>

namespace kestrove::win32 {

// One press of the Enter key for a window of any process, returning once it has been acted on.
void pressEnter(HWND window);

}  // namespace kestrove::win32
