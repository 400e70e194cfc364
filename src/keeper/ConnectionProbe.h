#pragma once
// Whether a dial-up connection is up, read from the flag the dial-up service keeps in the registry.

#include <cstdint>

#include "platform/Services.h"

namespace kestrove {

namespace Module3 {
// Result code of the probe's last registry open or read (0 = success).
extern std::int32_t RegistryStatus;
}  // namespace Module3

namespace keeper {

// One open, one 4-byte read, one close; every failure reads as "not connected".
bool readConnectionFlag(RegistryService& registry);

}  // namespace keeper
}  // namespace kestrove
