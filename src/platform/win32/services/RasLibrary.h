#pragma once

#include <windows.h>

#include "platform/win32/services/SystemHandles.h"

namespace kestrove::win32 {

// rasapi32.dll, shared by the services that use it, loaded the first time one of them asks and kept
// for the rest of the run.
class RasLibrary {
  public:
    // Null when the library or the function is missing.
    FARPROC proc(const char* name);

  private:
    OwnedModule module_;
    bool tried_ = false;
};

}  // namespace kestrove::win32
