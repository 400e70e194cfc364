#include "platform/win32/services/Win32RasConnections.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/services/HandleCasts.h"
#include "platform/win32/services/SystemHandles.h"

namespace kestrove::win32 {
namespace {

// The first forms of RASCONNA and RASCONNSTATUSA with device fields, which every version of the
// service since Windows 95 and NT 4.0 accepts.
struct RasConnV1 {
    DWORD dwSize;
    HANDLE hrasconn;
    CHAR szEntryName[257];
    CHAR szDeviceType[17];
    CHAR szDeviceName[129];
};

struct RasConnStatusV1 {
    DWORD dwSize;
    DWORD rasconnstate;
    DWORD dwError;
    CHAR szDeviceType[17];
    CHAR szDeviceName[129];
};

constexpr DWORD kConnected = 0x2000;     // RASCS_Connected
constexpr DWORD kDisconnected = 0x2001;  // RASCS_Disconnected
constexpr DWORD kBufferTooSmall = 603;   // ERROR_BUFFER_TOO_SMALL
constexpr std::size_t kMostConnections = 64;

using RasEnumConnectionsFn = DWORD(WINAPI*)(RasConnV1* connections, LPDWORD byteCount, LPDWORD count);
using RasGetConnectStatusFn = DWORD(WINAPI*)(HANDLE connection, RasConnStatusV1* status);

RasState stateOf(DWORD state) {
    if (state == kConnected) return RasState::Connected;
    if (state == kDisconnected) return RasState::Disconnected;
    return RasState::Dialling;
}

}  // namespace

// Loaded on demand, like the phone book: without the service there is simply no connection.
bool Win32RasConnections::connections(std::vector<RasConnection>& connections) {
    const OwnedModule library(LoadLibraryA("rasapi32.dll"));
    if (!library) return false;
    const auto enumerate = procAs<RasEnumConnectionsFn>(GetProcAddress(library.get(), "RasEnumConnectionsA"));
    const auto status = procAs<RasGetConnectStatusFn>(GetProcAddress(library.get(), "RasGetConnectStatusA"));
    if (enumerate == nullptr || status == nullptr) return false;

    RasConnV1 found[kMostConnections] = {};
    found[0].dwSize = sizeof(RasConnV1);
    DWORD bytes = sizeof found;
    DWORD count = 0;
    const DWORD result = enumerate(found, &bytes, &count);
    if (result != 0 && result != kBufferTooSmall) return false;

    connections.clear();
    for (DWORD i = 0; i < count && i < kMostConnections; ++i) {
        RasConnStatusV1 state = {};
        state.dwSize = sizeof state;
        const RasState answer =
            status(found[i].hrasconn, &state) == 0 ? stateOf(state.rasconnstate) : RasState::Disconnected;
        found[i].szEntryName[sizeof found[i].szEntryName - 1] = '\0';
        connections.push_back({found[i].szEntryName, answer});
    }
    return true;
}

}  // namespace kestrove::win32
