#include "keeper/ConnectionProbe.h"

#include <cstring>

#include "platform/SystemCodes.h"

namespace kestrove {

std::int32_t Module3::RegistryStatus = 0;

namespace keeper {

namespace {

constexpr const char* kRemoteAccessKey = "System\\CurrentControlSet\\Services\\RemoteAccess";
constexpr const char* kConnectionValue = "Remote Connection";

}  // namespace

bool readConnectionFlag(RegistryService& registry) {
    bool connected = false;
    RegistryKey key = 0;
    Module3::RegistryStatus = registry.openKey(sys::kHkeyLocalMachine, kRemoteAccessKey, key);
    if (Module3::RegistryStatus != 0) return false;

    // Shorter values arrive zero-extended; longer ones do not fit and fail the read.
    std::uint8_t bytes[4] = {};
    std::uint32_t size = sizeof bytes;
    Module3::RegistryStatus = registry.queryValue(key, kConnectionValue, bytes, size);
    std::int32_t flag = 0;
    std::memcpy(&flag, bytes, sizeof flag);
    if (Module3::RegistryStatus == 0 && flag != 0) connected = true;
    registry.closeKey(key);
    return connected;
}

ConnectionProbe::ConnectionProbe(Platform& platform)
    : platform_(platform), family_(platform.program.family()) {}

EntryState ConnectionProbe::listed(std::string_view entry) {
    platform_.codePage.toAnsi(entry, entryAnsi_);
    return entryState(platform_.rasConnections, platform_.codePage, entryAnsi_, connections_);
}

// On the NT family the entry being kept alive is looked up among the connections; what the probe found
// also tells the redial whether someone else is dialling it already.
bool ConnectionProbe::connected(std::string_view entry) {
    if (family_ == PlatformFamily::WindowsNT) {
        probedEntry_ = listed(entry);
        return probedEntry_ == EntryState::Connected;
    }
    return readConnectionFlag(platform_.registry);
}

bool ConnectionProbe::dialUnderWay(std::string_view entry) {
    if (family_ == PlatformFamily::WindowsNT) return probedEntry_ == EntryState::Dialling;
    return listed(entry) != EntryState::Down;
}

}  // namespace keeper
}  // namespace kestrove
