#include "platform/win32/services/Win32PhoneBook.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/services/HandleCasts.h"

namespace kestrove::win32 {
namespace {

// The buffer is laid out by the caller, so the records are passed as plain bytes.
using RasEnumEntriesFn = DWORD(WINAPI*)(LPCSTR reserved, LPCSTR phoneBook, void* entries, LPDWORD byteCount,
                                        LPDWORD entryCount);

}  // namespace

std::uint32_t Win32PhoneBook::enumEntries(std::span<std::uint8_t> buffer, std::uint32_t& byteCount,
                                          std::uint32_t& entryCount) {
    const auto enumerate = procAs<RasEnumEntriesFn>(ras_.proc("RasEnumEntriesA"));
    if (enumerate == nullptr) throw RuntimeError("RasEnumEntriesA is not available");

    // Never let the service write past the buffer, whatever size the caller claims.
    DWORD bytes = static_cast<DWORD>(std::min<std::size_t>(byteCount, buffer.size()));
    DWORD entries = entryCount;
    const DWORD result = enumerate(nullptr, nullptr, buffer.data(), &bytes, &entries);
    byteCount = bytes;
    entryCount = entries;
    return result;
}

}  // namespace kestrove::win32
