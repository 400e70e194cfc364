#pragma once
// One dial attempt: started for an entry, looked after while its dialer runs, settled by the probe once
// the dialer has ended, ended with a result. Kept after its end for what the user is told about it.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Services.h"

namespace kestrove::keeper {

enum class AttemptResult : std::uint8_t {
    InProgress,
    NotStarted,        // the dialer could not be started
    DialerEnded,       // 9x: the dialer ended, the line still down and no dial of the entry under way
    Connected,         // the probe found the entry up
    Failed,            // NT: the dialer's exit code, a dial-up error number
    ClosedAfterTime,   // 9x: the dialer ran 3 minutes with no dial of the entry under way
    ClosedAfterTries,  // 9x: the dialer (or the dial-up helper) still asked after its last confirmation
    Hung,              // NT: the dialer did not end within 3 minutes
    NotUp,             // NT: the dialer said connected, but the entry was not up a few seconds later
};

enum class AttemptPhase : std::uint8_t {
    Dialling,  // the dialer runs
    Settling,  // the dialer has ended; the probe decides, within a few seconds
    Closing,   // the result stands; what was started is being asked to end
    Ended,
};

// The gist of an attempt, as the user is told it.
struct AttemptSummary {
    std::uint32_t startedAt = 0;  // on the tick count, which goes on while the machine sleeps
    AttemptResult result = AttemptResult::InProgress;
    std::uint32_t error = 0;  // Failed: the dial-up error number
    friend bool operator==(const AttemptSummary&, const AttemptSummary&) = default;
};

struct DialAttempt {
    std::string entry;
    AttemptSummary summary;
    AttemptPhase phase = AttemptPhase::Dialling;
    // Times on the tick count; a wake-up from sleep starts them again.
    std::uint32_t startedAt = 0;
    std::uint32_t lastLook = 0;              // the last time the dialer was looked after
    std::uint32_t underWayAt = 0;            // 9x: the last time a dial of the entry was seen under way
    std::uint32_t settlingAt = 0;            // since when the probe decides
    std::uint32_t closingAt = 0;             // since when what was started is asked to end
    std::unique_ptr<StartedProcess> dialer;  // held until it ends or is given up
    std::unique_ptr<StartedProcess> hangUp;  // NT: the hang-up of a hung dial, held the same way
    // 9x: the dialer's own titles for the entry, never confirmed nor closed.
    std::string progressTitleAnsi;
    std::string connectedTitleAnsi;
    unsigned confirmations = 0;

    // The dialer has ended, the line still down: the probe decides within a few seconds.
    void settle(std::uint32_t now) {
        phase = AttemptPhase::Settling;
        settlingAt = now;
    }
    // The last resort for a dialer asked to close that has not.
    void endDialer() {
        if (dialer) dialer->terminate();
        dialer.reset();
    }
    void end(AttemptResult result, std::uint32_t error = 0) {
        summary.result = result;
        summary.error = error;
        phase = AttemptPhase::Ended;
    }
};

}  // namespace kestrove::keeper
