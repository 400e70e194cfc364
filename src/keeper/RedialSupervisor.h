#pragma once
// The redial supervisor: the watch for a dial under way, and the redial that starts the dialer while the
// connection is down, sees its attempt through to a result, and decides when the next one may come. The
// policy is written here once; the family's dialer carries each attempt out. The main window's timers
// drive it with the entry's name; its waits let the program's events run.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "keeper/ConnectionProbe.h"
#include "keeper/Dialer.h"
#include "keeper/RedialStatus.h"
#include "platform/EventPump.h"
#include "platform/Platform.h"

namespace kestrove::keeper {

class RedialSupervisor {
  public:
    RedialSupervisor(Platform& platform, EventPump& pump, ConnectionProbe& probe);

    // The watch, on every timer tick: an attempt is under way, or the entry's progress window is open.
    // Allocates nothing once its buffers have grown. Once a second it also looks after the attempt.
    bool dialInProgress(std::string_view entry);
    // The redial tick: probes, and while down (and not held off) starts the dialer and confirms its
    // dialog, letting events run. True when an attempt was made, to be counted.
    bool redial(std::string_view entry);
    // The user ticked the switch or picked an entry: every hold ends, the slow pace too.
    void resume();
    // The machine woke up: a running attempt's time starts again, and a hold ends unless it is the slow
    // pace after a failure only the user can mend.
    void powerResumed();

    RedialStatus status();
    // Once, when a failure only the user can mend has slowed the redial: the entry it was dialling.
    std::optional<std::string> takeSlowNotice();

  private:
    void finish();
    void hold(std::uint32_t ms) {
        holdFrom_ = pump_.tickCount();
        holdMs_ = ms;
    }
    std::uint32_t holdLeftMs() {
        const std::uint32_t waited = pump_.tickCount() - holdFrom_;
        return waited >= holdMs_ ? 0 : holdMs_ - waited;
    }
    bool underWay() const { return attempt_ && attempt_->phase != AttemptPhase::Ended; }

    EventPump& pump_;
    ConnectionProbe& probe_;
    const std::unique_ptr<Dialer> dialer_;  // the family's, chosen once at start-up
    std::optional<DialAttempt> attempt_;    // the last one
    AttemptSummary previous_;               // the one before
    bool redialling_ = false;               // a redial tick is waiting for its dialer
    bool lineUp_ = false;                   // as the last probe found it
    bool slowNotice_ = false;
    unsigned failures_ = 0;  // consecutive transient ones, since the line was last up
    unsigned slowed_ = 0;    // failures since one only the user can mend; 0: not slowed
    std::uint32_t holdFrom_ = 0, holdMs_ = 0;
};

}  // namespace kestrove::keeper
