#include "platform/win32/Desktop.h"

#include <windows.h>

#include "platform/win32/OneKeeper.h"
#include "platform/win32/Win32Backend.h"
#include "platform/win32/Win32Platform.h"

namespace kestrove::win32 {

void runOnDesktop(void (*program)(forms::Backend& backend, Platform& platform)) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    // The services before the backend: the tray gives up its icon through them as its window goes.
    Win32Platform services(instance);
    const OneKeeper keeper(services.platform().program.family());
    if (!keeper.first()) {
        keeper.activateFirst();
        return;
    }
    Win32Backend backend(instance);
    program(backend, services.platform());
}

}  // namespace kestrove::win32
