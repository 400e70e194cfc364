#pragma once
// When the next attempt may come, one policy for both families: what a result means, the ladder after
// transient failures, the slow pace after a failure only the user can mend, and the limits on a dialer.

#include <cstdint>

namespace kestrove::keeper {

enum class DialOutcome : std::uint8_t {
    Connected,
    Permanent,  // only the user can mend it (account, entry, configuration): slow down and tell them
    Wait,       // the line or the service is busy or not ready: no failure, try again later
    Transient,  // anything else: try again, backing off
};

// The NT family's dialer's exit code: the dial-up service's error number, 0 for connected.
DialOutcome classifyDialResult(std::uint32_t exitCode);

// How long a Wait holds the next attempt off.
constexpr std::uint32_t kWaitRetryMs = 30'000;

// The hold after `failures` consecutive transient failures, from the end of the last one: none after the
// first (the probe's own pace), then 5 s doubling up to 5 minutes.
std::uint32_t backOffMs(unsigned failures);

// The hold after the `slowed`th failure since a permanent one: 15 minutes, then 30, then every hour.
std::uint32_t slowPaceMs(unsigned slowed);

// A dialer that has said or shown nothing for 3 minutes will not connect; one still running 10 s after it
// was asked to close or hang up is ended. A dialer that has ended has the probe's next few seconds to
// show the entry up.
constexpr std::uint32_t kDialerLimitMs = 180'000;
constexpr std::uint32_t kCloseGraceMs = 10'000;
constexpr std::uint32_t kSettleMs = 5'000;
constexpr std::uint32_t kLookIntervalMs = 1'000;

}  // namespace kestrove::keeper
