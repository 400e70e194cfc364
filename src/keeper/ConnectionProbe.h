#pragma once
// Whether a dial-up connection is up: on the 9x family read from the flag the dial-up service keeps in
// the registry, on the NT family asked of the service for the entry being kept alive.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "keeper/NtDialUp.h"
#include "platform/Platform.h"

namespace kestrove {

namespace Module3 {
// Result code of the probe's last registry open or read (0 = success).
extern std::int32_t RegistryStatus;
}  // namespace Module3

namespace keeper {

// One open, one 4-byte read, one close; every failure reads as "not connected".
bool readConnectionFlag(RegistryService& registry);

class ConnectionProbe {
  public:
    explicit ConnectionProbe(Platform& platform);

    // entry: the one kept alive, read only where the family needs it.
    bool connected(std::string_view entry);
    // The entry is being dialled, by this program or anyone else, in any language: on the NT family as
    // the last probe found it, on the 9x family asked of the dial-up service now, which lists a
    // connection as soon as it starts dialling.
    bool dialUnderWay(std::string_view entry);

  private:
    EntryState listed(std::string_view entry);

    Platform& platform_;
    const PlatformFamily family_;             // decides how to probe, once at start-up
    std::vector<RasConnection> connections_;  // reused by every ask of the dial-up service
    std::string entryAnsi_;
    EntryState probedEntry_ = EntryState::Down;
};

}  // namespace keeper
}  // namespace kestrove
