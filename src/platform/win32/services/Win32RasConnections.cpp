#include "platform/win32/services/Win32RasConnections.h"

#include <windows.h>
// Only for checking the record layouts below against the system's.
#include <ras.h>

#include <cstddef>

#include "platform/win32/services/HandleCasts.h"
#include "platform/win32/services/SystemHandles.h"

namespace kestrove::win32 {
namespace {

// The first forms of RASCONNA and RASCONNSTATUSA with device fields, which every version of the
// service since NT 4.0 accepts. The service packs its records to 4 bytes on every architecture: in a
// 64-bit build the connection handle follows dwSize directly, and a naturally aligned record would be
// refused (ERROR_INVALID_SIZE) and misread.
#pragma pack(push, 4)
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
#pragma pack(pop)

static_assert(offsetof(RasConnV1, hrasconn) == offsetof(RASCONNA, hrasconn));
static_assert(offsetof(RasConnV1, szDeviceName) == offsetof(RASCONNA, szDeviceName));
static_assert(sizeof(RasConnV1) == (sizeof(void*) == 8 ? 416 : 412));
static_assert(offsetof(RasConnStatusV1, szDeviceName) == offsetof(RASCONNSTATUSA, szDeviceName));
static_assert(sizeof(RasConnStatusV1) == 160);

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
