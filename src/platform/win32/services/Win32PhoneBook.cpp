#include "platform/win32/services/Win32PhoneBook.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/services/EnumerateEntries.h"
#include "platform/win32/services/HandleCasts.h"
#include "platform/win32/services/SystemHandles.h"

namespace kestrove::win32 {
namespace {

// The buffer is laid out by the caller, so the records are passed as plain bytes.
using RasEnumEntriesFn = DWORD(WINAPI*)(LPCSTR reserved, LPCSTR phoneBook, void* entries, LPDWORD byteCount,
                                        LPDWORD entryCount);

}  // namespace

// Loaded on demand: a system without the Remote Access Service must still start the program, and the
// phone book is read once per run.
std::uint32_t Win32PhoneBook::enumEntries(std::span<std::uint8_t> buffer, std::uint32_t& byteCount,
                                          std::uint32_t& entryCount) {
    const OwnedModule library(LoadLibraryA("rasapi32.dll"));
    if (!library) throw RuntimeError("rasapi32.dll is not available");
    const auto enumerate = procAs<RasEnumEntriesFn>(GetProcAddress(library.get(), "RasEnumEntriesA"));
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
