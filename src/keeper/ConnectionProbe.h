#pragma once
// Whether a dial-up connection is up: on the 9x family read from the flag the dial-up service keeps in
// the registry, on the NT family asked of the service for the entry being kept alive.

#include <cstdint>
#include <vector>

#include "keeper/NtDialUp.h"
#include "platform/Platform.h"
#include "platform/forms/Controls.h"

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
    // entry: the field whose text names the entry kept alive, read only where the family needs it.
    ConnectionProbe(Platform& platform, const forms::ComboBox& entry);

    bool connected();
    // The NT family's last probe found the entry being dialled, by this program or anyone else.
    bool entryDialling() const { return probedEntry_ == EntryState::Dialling; }

  private:
    Platform& platform_;
    const forms::ComboBox& entry_;
    const PlatformFamily family_;             // decides how to probe, once at start-up
    std::vector<RasConnection> connections_;  // reused by every probe of the dial-up service
    EntryState probedEntry_ = EntryState::Down;
};

}  // namespace keeper
}  // namespace kestrove
