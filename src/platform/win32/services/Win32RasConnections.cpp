#include "platform/win32/services/Win32RasConnections.h"

#include <windows.h>
// Only for checking the record layouts and codes below against the system's.
#include <ras.h>
#include <raserror.h>

#include <algorithm>
#include <cstddef>

#include "platform/SystemCodes.h"
#include "platform/win32/services/HandleCasts.h"
#include "platform/win32/services/RasRecords.h"

namespace kestrove::win32 {

static_assert(sys::kErrorBufferTooSmall == ERROR_BUFFER_TOO_SMALL);

namespace {

static_assert(offsetof(RasConnV1, hrasconn) == offsetof(RASCONNA, hrasconn));
static_assert(offsetof(RasConnV1, szDeviceName) == offsetof(RASCONNA, szDeviceName));
static_assert(sizeof(RasConnV1) == (sizeof(void*) == 8 ? 416 : 412));
static_assert(offsetof(RasConnStatusV1, szDeviceName) == offsetof(RASCONNSTATUSA, szDeviceName));
static_assert(sizeof(RasConnStatusV1) == 160);
static_assert(kRasConnected == RASCS_Connected && kRasDisconnected == RASCS_Disconnected);

constexpr std::size_t kFirstRoom = 4;   // records; a dial-up machine rarely has more connections
constexpr std::size_t kMostRoom = 256;  // beyond this a request for more room is not believed

using RasEnumConnectionsFn = DWORD(WINAPI*)(RasConnV1* connections, LPDWORD byteCount, LPDWORD count);
using RasGetConnectStatusFn = DWORD(WINAPI*)(HANDLE connection, RasConnStatusV1* status);
using RasGetErrorStringFn = DWORD(WINAPI*)(UINT error, LPSTR text, DWORD size);

RasState stateOf(DWORD state) {
    if (state == kRasConnected) return RasState::Connected;
    if (state == kRasDisconnected) return RasState::Disconnected;
    return RasState::Dialling;
}

}  // namespace

struct Win32RasConnections::Record : RasConnV1 {};

// Out of line, where the record is a complete type.
Win32RasConnections::Win32RasConnections(RasLibrary& ras) : ras_(ras) {}
Win32RasConnections::~Win32RasConnections() = default;

// A buffer too small for every connection is grown once to the size the service asks for; when that
// still does not do (more connections meanwhile, or an unbelievable size) the answer is a failure, never
// the records that did not get filled in.
bool Win32RasConnections::connections(std::vector<RasConnection>& connections) {
    static_assert(sizeof(Record) == sizeof(RasConnV1));
    const auto enumerate = procAs<RasEnumConnectionsFn>(ras_.proc("RasEnumConnectionsA"));
    const auto status = procAs<RasGetConnectStatusFn>(ras_.proc("RasGetConnectStatusA"));
    if (enumerate == nullptr || status == nullptr) return false;

    if (records_.empty()) records_.resize(kFirstRoom);
    DWORD count = 0;
    for (int attempt = 0;; ++attempt) {
        records_[0].dwSize = sizeof(RasConnV1);
        DWORD bytes = static_cast<DWORD>(records_.size() * sizeof(Record));
        count = 0;
        const DWORD result = enumerate(records_.data(), &bytes, &count);
        if (result == 0) break;
        const std::size_t wanted = (bytes + sizeof(Record) - 1) / sizeof(Record);
        if (result != sys::kErrorBufferTooSmall || attempt > 0 || wanted <= records_.size() ||
            wanted > kMostRoom)
            return false;
        records_.resize(wanted);
    }

    const std::size_t found = std::min<std::size_t>(count, records_.size());
    connections.resize(found);
    for (std::size_t i = 0; i < found; ++i) {
        RasConnStatusV1 state = {};
        state.dwSize = sizeof state;
        const bool known = status(records_[i].hrasconn, &state) == 0;
        connections[i].state = known ? stateOf(state.rasconnstate) : RasState::Disconnected;
        connections[i].error = known ? state.dwError : 0;
        records_[i].szEntryName[sizeof records_[i].szEntryName - 1] = '\0';
        connections[i].entryAnsi.assign(records_[i].szEntryName);
    }
    return true;
}

std::string Win32RasConnections::errorText(std::uint32_t error) {
    const auto text = procAs<RasGetErrorStringFn>(ras_.proc("RasGetErrorStringA"));
    char buffer[512] = {};  // the documented room for any message
    if (text == nullptr || text(error, buffer, sizeof buffer) != 0) return {};
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

}  // namespace kestrove::win32
