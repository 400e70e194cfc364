#include "platform/win32/services/Win32PhoneBook.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/services/EnumerateEntries.h"
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
    byteCount = static_cast<std::uint32_t>(std::min<std::size_t>(byteCount, buffer.size()));
    return enumerateKeepingWhatFits(
        buffer, byteCount, entryCount,
        [enumerate](std::span<std::uint8_t> records, std::uint32_t& bytes, std::uint32_t& entries) {
            DWORD systemBytes = bytes;
            DWORD systemEntries = entries;
            const DWORD result = enumerate(nullptr, nullptr, records.data(), &systemBytes, &systemEntries);
            bytes = systemBytes;
            entries = systemEntries;
            return static_cast<std::uint32_t>(result);
        });
}

}  // namespace kestrove::win32
