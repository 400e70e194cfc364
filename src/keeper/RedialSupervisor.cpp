#include "keeper/RedialSupervisor.h"

#include <algorithm>
#include <utility>

#include "keeper/RasdialDialer.h"
#include "keeper/RedialPolicy.h"
#include "keeper/RnaDialer.h"
#include "platform/ScopeExit.h"

namespace kestrove::keeper {

std::unique_ptr<Dialer> makeDialer(Platform& platform, EventPump& pump, ConnectionProbe& probe) {
    if (platform.program.family() == PlatformFamily::WindowsNT)
        return std::make_unique<RasdialDialer>(platform, probe);
    return std::make_unique<RnaDialer>(platform, pump, probe);
}

RedialSupervisor::RedialSupervisor(Platform& platform, EventPump& pump, ConnectionProbe& probe)
    : pump_(pump), probe_(probe), dialer_(makeDialer(platform, pump, probe)) {}

// Runs as often as the system delivers timer ticks. An attempt stays under way, and holds the redial off,
// until the dialer's result, the probe or a limit has ended it and nothing it started is held any more.
bool RedialSupervisor::dialInProgress(std::string_view entry) {
    if (underWay()) {
        DialAttempt& attempt = *attempt_;
        const std::uint32_t now = pump_.tickCount();
        if (attempt.dialer && !attempt.dialer->running()) {
            const std::uint32_t exitCode = attempt.dialer->exitCode();
            attempt.dialer.reset();
            if (attempt.phase == AttemptPhase::Dialling) dialer_->dialerEnded(attempt, exitCode, now);
        }
        // Not while the redial itself still waits for the dialer's dialog.
        if (!redialling_ && attempt.phase != AttemptPhase::Ended &&
            now - attempt.lastLook >= kLookIntervalMs) {
            attempt.lastLook = now;
            dialer_->look(attempt, now);
        }
        if (attempt.phase == AttemptPhase::Closing && !attempt.dialer && !attempt.hangUp)
            attempt.phase = AttemptPhase::Ended;
        if (attempt.phase != AttemptPhase::Ended) return true;
        finish();
    }
    return dialer_->dialShown(entry);
}

// The one policy, whatever the family: a transient failure climbs the ladder, a busy line or service
// waits 30 s, and a failure only the user can mend slows the redial to a pace that neither bills a call
// every few seconds nor gives up.
void RedialSupervisor::finish() {
    const AttemptSummary& ended = attempt_->summary;
    if (ended.result == AttemptResult::Connected) {
        lineUp_ = true;
        return resume();
    }
    const DialOutcome outcome =
        ended.result == AttemptResult::Failed ? classifyDialResult(ended.error) : DialOutcome::Transient;
    if (outcome == DialOutcome::Permanent || slowed_ > 0) {
        slowNotice_ = slowNotice_ || slowed_ == 0;
        slowed_ = std::min(slowed_ + 1, 3u);
        hold(slowPaceMs(slowed_));
    } else if (outcome == DialOutcome::Wait) {
        hold(kWaitRetryMs);
    } else {
        hold(backOffMs(++failures_));
    }
}

// Also when the line is up, by this program's dial or anyone's: whatever held the redial off is mended.
void RedialSupervisor::resume() {
    failures_ = slowed_ = 0;
    holdMs_ = 0;
    slowNotice_ = false;
}

// The tick count went on while the machine slept: no dialer ran during the sleep, and the line has
// likely gone with it.
void RedialSupervisor::powerResumed() {
    const std::uint32_t now = pump_.tickCount();
    if (underWay()) {
        DialAttempt& attempt = *attempt_;
        attempt.startedAt = attempt.lastLook = attempt.underWayAt = attempt.settlingAt = attempt.closingAt =
            now;
    }
    if (slowed_ == 0) holdMs_ = 0;
}

bool RedialSupervisor::redial(std::string_view entry) {
    // The redial lets events run while it waits for the dialer; a tick arriving meanwhile must not start
    // a second dialer, nor may any tick while the last attempt is still under way.
    if (redialling_ || underWay()) return false;
    const bool up = probe_.connected(entry);
    if (up != lineUp_) {
        lineUp_ = up;
        if (up) resume();
    }
    if (up || holdLeftMs() > 0) return false;
    // Someone else's dial of the entry: on NT as the probe just made saw it, on 9x asked now.
    if (probe_.dialUnderWay(entry)) return false;
    redialling_ = true;
    const ScopeExit done([this] { redialling_ = false; });

    if (attempt_) previous_ = attempt_->summary;
    DialAttempt& attempt = attempt_.emplace();
    attempt.entry = entry;
    attempt.startedAt = attempt.lastLook = attempt.underWayAt = attempt.summary.startedAt = pump_.tickCount();
    // Held before events run, so that the watch ticks among them already see the dial under way.
    attempt.dialer = dialer_->start(attempt);
    if (!attempt.dialer) {
        attempt.end(AttemptResult::NotStarted);
        finish();
    }
    pump_.doEvents();
    dialer_->confirm(attempt);
    pump_.doEvents();
    return true;
}

RedialStatus RedialSupervisor::status() {
    RedialStatus status;
    if (!attempt_) {
        status.state = lineUp_ ? RedialState::LineUp : RedialState::Soon;
        return status;
    }
    const AttemptSummary& summary = attempt_->summary;
    if (summary.result == AttemptResult::InProgress) {
        status.state = RedialState::Dialling;
        status.dialSince = summary.startedAt;
        status.last = previous_;
        return status;
    }
    status.last = summary;
    if (underWay()) {
        status.state = RedialState::Closing;
    } else if (lineUp_) {
        status.state = RedialState::LineUp;
    } else if (holdLeftMs() == 0) {
        status.state = RedialState::Soon;
    } else {
        status.state = slowed_ > 0 ? RedialState::Slowed : RedialState::Holding;
        status.nextAttemptAt = holdFrom_ + holdMs_;
    }
    return status;
}

std::optional<std::string> RedialSupervisor::takeSlowNotice() {
    if (!std::exchange(slowNotice_, false) || !attempt_) return std::nullopt;
    return attempt_->entry;
}

}  // namespace kestrove::keeper
