#pragma once
// One dial attempt: started for an entry, confirmed while its dialer asks, in progress while that dialer
// runs, ended with a result. Kept after its end for what the user is told about it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Services.h"

namespace kestrove::keeper {

enum class AttemptResult : std::uint8_t {
    InProgress,
    NotStarted,        // the dialer could not be started
    DialerEnded,       // 9x: the dialer ended; the next probe tells whether it connected
    Connected,         // the probe found the entry up, or the NT dialer said so
    Failed,            // NT: the dialer's exit code, a dial-up error number
    ClosedAfterTime,   // 9x: the dialer ran 3 minutes without a connection
    ClosedAfterTries,  // 9x: the dialer still asked after its last confirmation
    Hung,              // NT: the dialer did not end within 3 minutes
};

// What is kept of an attempt once the next one has started.
struct EndedAttempt {
    std::string startedAtAnsi;
    AttemptResult result = AttemptResult::InProgress;
    std::uint32_t error = 0;
};

struct DialAttempt {
    std::string entry;
    std::string startedAtAnsi;  // the time of day it started, as the user's settings write it
    std::uint32_t startedAt = 0;
    std::unique_ptr<StartedProcess> dialer;  // held until it ends or is given up
    AttemptResult result = AttemptResult::InProgress;
    std::uint32_t error = 0;  // Failed: the dial-up error number
    // 9x: the dialer's own titles for the entry, never confirmed.
    std::string progressTitleAnsi;
    std::string connectedTitleAnsi;
    unsigned confirmations = 0;
    std::uint32_t lastLook = 0;             // the last time its windows were looked at
    std::optional<std::uint32_t> closedAt;  // asked to close; given up 10 s later
};

}  // namespace kestrove::keeper
