#pragma once
// The handle kinds the platform services own.

#include <windows.h>

#include "platform/win32/Owned.h"

namespace kestrove::win32 {

struct ModuleTraits {
    using Handle = HMODULE;
    static HMODULE none() { return nullptr; }
    static void close(HMODULE module) { FreeLibrary(module); }
};
using OwnedModule = Owned<ModuleTraits>;

// Process and thread handles: failure is NULL.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static HANDLE none() { return nullptr; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};
using OwnedHandle = Owned<KernelHandleTraits>;

// CreateFileA reports failure as INVALID_HANDLE_VALUE, not NULL.
struct FileHandleTraits {
    using Handle = HANDLE;
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};
using OwnedFile = Owned<FileHandleTraits>;

}  // namespace kestrove::win32
