#include "keeper/RasdialDialer.h"

#include "keeper/NtDialUp.h"
#include "keeper/RedialPolicy.h"
#include "platform/SystemCodes.h"

namespace kestrove::keeper {

// A console program: without a console window of its own, so that none flashes up at every dial.
std::unique_ptr<StartedProcess> RasdialDialer::run(std::string_view entry, bool hangUp) {
    const std::optional<std::string> command =
        rasdialCommand(platform_.program.systemDirectory(), entry, hangUp);
    if (!command) return nullptr;
    return platform_.processes.start(platform_.codePage.toAnsi(*command), sys::kSwHide, true);
}

// Exit 0 says the service accepted the dial; only the entry found up makes it a connection.
void RasdialDialer::dialerEnded(DialAttempt& attempt, std::uint32_t exitCode, std::uint32_t now) {
    if (exitCode != 0) return attempt.end(AttemptResult::Failed, exitCode);
    if (probe_.connected(attempt.entry)) return attempt.end(AttemptResult::Connected);
    attempt.settle(now);
}

void RasdialDialer::look(DialAttempt& attempt, std::uint32_t now) {
    switch (attempt.phase) {
        case AttemptPhase::Dialling:
            if (now - attempt.startedAt < kDialerLimitMs) return;
            // Up after all: the dialer's work is done, only its own end is stuck. It is let go.
            if (probe_.connected(attempt.entry)) {
                attempt.dialer.reset();
                return attempt.end(AttemptResult::Connected);
            }
            // Asked to hang up the way it was started, and the dial given time to hang up, before the
            // dialer is ended: ended first, it may leave the modem holding the line.
            attempt.summary.result = AttemptResult::Hung;
            attempt.phase = AttemptPhase::Closing;
            attempt.closingAt = now;
            attempt.hangUp = run(attempt.entry, true);
            return;
        case AttemptPhase::Settling:
            if (probe_.connected(attempt.entry)) return attempt.end(AttemptResult::Connected);
            if (now - attempt.settlingAt >= kSettleMs) attempt.end(AttemptResult::NotUp);
            return;
        case AttemptPhase::Closing:
            // The hang-up is held like a dial: left running, it might hang up the next one.
            if (attempt.hangUp && attempt.hangUp->running()) {
                if (now - attempt.closingAt < kCloseGraceMs) return;
                attempt.hangUp->terminate();
            }
            attempt.hangUp.reset();
            attempt.endDialer();
            return;
        case AttemptPhase::Ended:
            return;
    }
}

}  // namespace kestrove::keeper
