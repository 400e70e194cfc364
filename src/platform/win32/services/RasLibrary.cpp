#include "platform/win32/services/RasLibrary.h"

namespace kestrove::win32 {

// Loaded on demand, and tried only once: a system without the Remote Access Service must still start
// the program, and the probe asks the service every second.
FARPROC RasLibrary::proc(const char* name) {
    if (!tried_) {
        tried_ = true;
        module_.reset(LoadLibraryA("rasapi32.dll"));
    }
    return module_ ? GetProcAddress(module_.get(), name) : nullptr;
}

}  // namespace kestrove::win32
