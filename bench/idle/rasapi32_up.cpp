// A stand-in for the dial-up service, for measuring the program armed with its line up on the NT
// family: one connection, of the entry named in "rasapi32-up.txt" in the current folder, connected.
// An empty phone book. Never shipped.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/SystemCodes.h"
#include "platform/win32/services/RasRecords.h"

namespace {

using RasConn = kestrove::win32::RasConnV1;
using RasConnStatus = kestrove::win32::RasConnStatusV1;

}  // namespace

extern "C" {

DWORD WINAPI RasEnumEntriesA(LPCSTR, LPCSTR, void*, LPDWORD, LPDWORD entries) {
    *entries = 0;
    return 0;
}

DWORD WINAPI RasEnumConnectionsA(RasConn* connections, LPDWORD bytes, LPDWORD count) {
    if (*bytes < sizeof(RasConn)) {
        *bytes = sizeof(RasConn);
        return kestrove::sys::kErrorBufferTooSmall;
    }
    std::memset(connections, 0, sizeof(RasConn));
    connections->dwSize = sizeof(RasConn);
    connections->hrasconn = reinterpret_cast<HANDLE>(1);
    if (FILE* f = std::fopen("rasapi32-up.txt", "r")) {
        if (std::fgets(connections->szEntryName, sizeof connections->szEntryName, f))
            connections->szEntryName[std::strcspn(connections->szEntryName, "\r\n")] = '\0';
        std::fclose(f);
    }
    *bytes = sizeof(RasConn);
    *count = 1;
    return 0;
}

DWORD WINAPI RasGetConnectStatusA(HANDLE, RasConnStatus* status) {
    status->rasconnstate = kestrove::win32::kRasConnected;
    status->dwError = 0;
    return 0;
}
}
