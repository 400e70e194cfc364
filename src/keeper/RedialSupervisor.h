#pragma once
// The redial supervisor: the watch for a dial under way, and the redial that starts the dialer while the
// connection is down, sees its attempt through to a result, and decides when the next one may come.
// The main window's timers drive it with the entry's name; its waits let the program's events run.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "keeper/ConnectionProbe.h"
#include "keeper/DialAttempt.h"
#include "platform/EventPump.h"
#include "platform/Platform.h"

namespace kestrove::keeper {

class RedialSupervisor {
  public:
    RedialSupervisor(Platform& platform, EventPump& pump, ConnectionProbe& probe);

    // The watch, on every timer tick: the dialer started last is still held, or the entry's progress
    // window is open. Allocates nothing once its buffers have grown. Once a second it also looks after
    // the running dialer: answers its dialogs, closes it or stops it when it has run too long.
    bool dialInProgress(std::string_view entry);
    // The redial tick: probes, and while down (and not held off) starts the dialer and confirms its
    // dialog, letting events run. True when an attempt was made, to be counted.
    bool redial(std::string_view entry);
    // The user ticked the switch or picked an entry: a stop is lifted and the back-off starts afresh.
    void resume();
    // The machine woke up: a running attempt's time starts again, and a hold ends.
    void powerResumed();

    // What the user is told.
    const DialAttempt* lastAttempt() const { return attempt_ ? &*attempt_ : nullptr; }
    const EndedAttempt* attemptBefore() const { return previous_ ? &*previous_ : nullptr; }
    bool stopped() const { return stopped_; }
    bool lineUp() const { return lineUp_; }
    bool dialerHeld() const { return attempt_ && attempt_->dialer; }
    // Until the next attempt may start; 0: at the next tick.
    std::uint32_t holdLeftMs() {
        const std::uint32_t waited = pump_.tickCount() - holdFrom_;
        return waited >= holdMs_ ? 0 : holdMs_ - waited;
    }
    std::uint32_t changes() const { return changes_; }  // grows whenever any of the above changes
    bool takeStopNotice() { return std::exchange(stopNotice_, false); }  // true once per stop

  private:
    bool dialerRunning();
    void lookAfterDialer();
    void closeDialer(DialAttempt& attempt, AttemptResult why);
    void endAttempt(AttemptResult result, std::uint32_t error);
    void hold(std::uint32_t ms) {
        holdFrom_ = pump_.tickCount();
        holdMs_ = ms;
    }
    void visitDialerWindows(const DialAttempt& attempt, WindowVisitor& visitor);
    WindowHandle dialogToConfirm(const DialAttempt& attempt);
    void confirm(DialAttempt& attempt, WindowHandle dialog) {
        platform_.processes.sendEnter(dialog);
        ++attempt.confirmations;
    }
    WindowHandle waitForDialerWindow();

    Platform& platform_;
    EventPump& pump_;
    ConnectionProbe& probe_;
    const PlatformFamily family_;           // decides how to dial, once at start-up
    std::optional<DialAttempt> attempt_;    // the last one
    std::optional<EndedAttempt> previous_;  // the one before
    bool redialling_ = false;               // a redial tick is waiting for its dialer
    bool lineUp_ = false;                   // as the last probe found it
    bool stopped_ = false;                  // a permanent failure: nothing starts until the user acts
    bool stopNotice_ = false;
    unsigned failures_ = 0;  // consecutive transient ones, since the line was last up
    std::uint32_t holdFrom_ = 0, holdMs_ = 0;
    std::uint32_t changes_ = 0;
    std::string watchedTitle_;  // buffers reused by every watch tick
    std::string watchedTitleAnsi_;
    std::array<std::uint32_t, 16> dialerProcesses_{};  // and by every look at the dialer: a dialer starts few
};

// The counter line after `count` attempts.
std::string counterCaption(std::int64_t count);

}  // namespace kestrove::keeper
