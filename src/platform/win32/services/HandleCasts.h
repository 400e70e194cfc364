#pragma once
// The portable handle values of platform/Types.h and the system's handle types are the same bits.

#include <windows.h>

#include <cstdint>

#include "platform/Types.h"

namespace kestrove::win32 {

inline HWND toHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline WindowHandle fromHwnd(HWND window) { return reinterpret_cast<WindowHandle>(window); }

// The predefined roots (HKEY_LOCAL_MACHINE = 0x80000002 ...) are sign-extended 32-bit values, so in a
// 64-bit build the portable 0x80000002 must become 0xFFFFFFFF80000002.
inline HKEY toHkey(RegistryKey key) {
    const auto low = static_cast<std::uint32_t>(key);
    if (key == low && low >= 0x80000000u) {
        return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(low)));
    }
    return reinterpret_cast<HKEY>(key);
}

// A function's address from GetProcAddress as the type it really has. Going through void (*)() keeps
// -Wcast-function-type quiet: that type stands for "any function".
template <class Function>
Function procAs(FARPROC proc) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace kestrove::win32
