#include "platform/win32/services/Win32Registry.h"

#include <windows.h>

#include "platform/win32/services/HandleCasts.h"

namespace kestrove::win32 {

std::int32_t Win32Registry::openKey(RegistryKey root, const std::string& subKeyAnsi, RegistryKey& key) {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyA(toHkey(root), subKeyAnsi.c_str(), &opened);
    key = result == ERROR_SUCCESS ? reinterpret_cast<RegistryKey>(opened) : 0;
    return result;
}

std::int32_t Win32Registry::queryValue(RegistryKey key, const std::string& nameAnsi, std::uint8_t* data,
                                       std::uint32_t& size) {
    DWORD type = 0;
    DWORD bytes = size;
    const LONG result = RegQueryValueExA(toHkey(key), nameAnsi.c_str(), nullptr, &type, data, &bytes);
    size = bytes;
    return result;
}

void Win32Registry::closeKey(RegistryKey key) {
    if (key != 0) RegCloseKey(toHkey(key));
}

}  // namespace kestrove::win32
