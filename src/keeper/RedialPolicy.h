#pragma once
// What the NT family's dialer's result means for the next attempt: its exit code is the dial-up
// service's error number, 0 for connected.

#include <cstdint>

namespace kestrove::keeper {

enum class DialOutcome : std::uint8_t {
    Connected,
    Permanent,  // only the user can mend it (account, entry, configuration): stop until they act
    Wait,       // the line or the service is busy or not ready: no failure, try again later
    Transient,  // anything else: try again, backing off
};

DialOutcome classifyDialResult(std::uint32_t exitCode);

// How long a Wait holds the next attempt off.
constexpr std::uint32_t kWaitRetryMs = 30'000;

// The hold after `failures` consecutive transient failures, from the end of the last one: none after the
// first (the probe's own pace), then 5 s doubling up to 5 minutes.
std::uint32_t backOffMs(unsigned failures);

}  // namespace kestrove::keeper
