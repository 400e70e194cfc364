#include "platform/win32/Desktop.h"

#include <windows.h>

#include "platform/win32/Win32Backend.h"
#include "platform/win32/Win32Platform.h"

namespace kestrove::win32 {

void runOnDesktop(void (*program)(forms::Backend& backend, Platform& platform)) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    Win32Backend backend(instance);
    Win32Platform services(instance);
    program(backend, services.platform());
}

}  // namespace kestrove::win32
