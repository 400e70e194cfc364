#pragma once
// The real desktop for the program's entry point, without the system's headers: the Win32 forms backend
// and the system services of this process.

#include "platform/Platform.h"
#include "platform/forms/Backend.h"

namespace kestrove::win32 {

// Builds both for this executable and runs the program on them; they go when it returns. When another
// start of the program already keeps this session, asks it to show its main window and returns without
// running the program. A failure to build them, or one the program lets through, reaches the caller.
void runOnDesktop(void (*program)(forms::Backend& backend, Platform& platform));

}  // namespace kestrove::win32
