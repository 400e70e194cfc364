// A stand-in for the dial-up service, for measuring the program armed with its line up on the NT
// family and for showing it at work (scripts/run.sh). In the current folder: "rasapi32-up.txt" names the
// one connection, connected (no file: none); "rasapi32-book.txt" holds the phone book, one entry a line
// (no file: an empty phone book). Never shipped.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/SystemCodes.h"
#include "platform/win32/services/RasRecords.h"

namespace {

using RasConn = kestrove::win32::RasConnV1;
using RasConnStatus = kestrove::win32::RasConnStatusV1;

constexpr DWORD kMostEntries = 16;
constexpr std::size_t kNameBytes = kestrove::sys::kRasEntryNameBytes;

// Reads up to room names of the file, one a line, into names; returns how many.
template <std::size_t Bytes>
DWORD readNames(const char* file, char (*names)[Bytes], DWORD room) {
    DWORD count = 0;
    if (FILE* f = std::fopen(file, "r")) {
        char line[Bytes] = {};
        while (count < room && std::fgets(line, sizeof line, f)) {
            line[std::strcspn(line, "\r\n")] = '\0';
            if (line[0] != '\0') std::memcpy(names[count++], line, Bytes);
        }
        std::fclose(f);
    }
    return count;
}

}  // namespace

extern "C" {

DWORD WINAPI RasEnumEntriesA(LPCSTR, LPCSTR, void* records, LPDWORD bytes, LPDWORD entries) {
    char names[kMostEntries][kNameBytes] = {};
    const DWORD count = readNames("rasapi32-book.txt", names, kMostEntries);
    const DWORD needed = count * kestrove::sys::kRasEntryNameSize;
    *entries = count;
    if (*bytes < needed) {
        *bytes = needed;
        return kestrove::sys::kErrorBufferTooSmall;
    }
    auto* out = static_cast<unsigned char*>(records);
    for (DWORD i = 0; i < count; ++i) {
        unsigned char* record = out + i * kestrove::sys::kRasEntryNameSize;
        std::memcpy(record, &kestrove::sys::kRasEntryNameSize, sizeof(DWORD));
        std::memcpy(record + kestrove::sys::kRasEntryNameOffset, names[i], kNameBytes);
    }
    *bytes = needed;
    return 0;
}

DWORD WINAPI RasEnumConnectionsA(RasConn* connections, LPDWORD bytes, LPDWORD count) {
    char names[1][kNameBytes] = {};
    *count = readNames("rasapi32-up.txt", names, 1);
    if (*count == 0) return 0;
    if (*bytes < sizeof(RasConn)) {
        *bytes = sizeof(RasConn);
        return kestrove::sys::kErrorBufferTooSmall;
    }
    std::memset(connections, 0, sizeof(RasConn));
    connections->dwSize = sizeof(RasConn);
    connections->hrasconn = reinterpret_cast<HANDLE>(1);
    std::memcpy(connections->szEntryName, names[0], sizeof connections->szEntryName);
    *bytes = sizeof(RasConn);
    return 0;
}

DWORD WINAPI RasGetConnectStatusA(HANDLE, RasConnStatus* status) {
    status->rasconnstate = kestrove::win32::kRasConnected;
    status->dwError = 0;
    return 0;
}
}
