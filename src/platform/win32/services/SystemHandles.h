#pragma once
// The handle kinds the platform services own.

#include <windows.h>

#include "platform/win32/Owned.h"

namespace kestrove::win32 {

using OwnedModule = Owned<HMODULE, FreeLibrary>;
// Process and thread handles: failure is NULL.
using OwnedHandle = Owned<HANDLE, CloseHandle>;
// CreateFileA reports failure as INVALID_HANDLE_VALUE, not NULL.
using OwnedFile = Owned<HANDLE, CloseHandle, -1>;

}  // namespace kestrove::win32
