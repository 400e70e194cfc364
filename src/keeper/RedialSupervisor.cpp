#include "keeper/RedialSupervisor.h"

#include <span>
#include <utility>

#include "keeper/NtDialUp.h"
#include "keeper/RedialPolicy.h"
#include "platform/ScopeExit.h"
#include "platform/SystemCodes.h"

namespace kestrove::keeper {

namespace {

constexpr std::string_view kProgressTitlePrefix = "Connecting to ";
constexpr std::string_view kConnectedTitlePrefix = "Connected to ";
constexpr const char* kDialogClass = "#32770";
constexpr std::string_view kDialerCommandPrefix = "rundll32.exe rnaui.dll,RnaDial ";
constexpr std::string_view kCounterPrefix = " You have been reconnected ";
constexpr std::string_view kCounterSuffix = " time(s).";

// How long the redial tick waits for the dialer to bring up its dialog. The dialog normally appears
// well within a second; a later one is answered by the look once a second.
constexpr std::uint32_t kDialerWaitMs = 3000;
constexpr unsigned kDialerPollMs = 50;
constexpr std::uint32_t kLookIntervalMs = 1000;
// A dial that has not connected in 3 minutes will not; a dialer that keeps asking after 10 answers is
// stuck on something Enter does not mend.
constexpr std::uint32_t kDialerLimitMs = 180'000;
constexpr unsigned kMostConfirmations = 10;
constexpr std::uint32_t kCloseGraceMs = 10'000;

// A walk over the dialer's windows that either asks each to close, or picks the one to confirm: a dialog
// before any other window, and nothing while the dialer shows the entry's progress or connection (Enter
// there would press Cancel or Disconnect).
class DialerWindowWalk final : public WindowVisitor {
  public:
    DialerWindowWalk(const DialAttempt& attempt, WindowService* closeWith)
        : attempt_(attempt), closeWith_(closeWith) {}
    bool visit(WindowHandle window, std::string_view classAnsi, std::string_view titleAnsi) override {
        if (closeWith_ != nullptr) {
            closeWith_->close(window);
            return true;
        }
        if (titleAnsi == attempt_.progressTitleAnsi || titleAnsi == attempt_.connectedTitleAnsi) {
            dialog_ = other_ = 0;
            return false;
        }
        if (classAnsi == kDialogClass) {
            dialog_ = window;
            return false;
        }
        if (other_ == 0) other_ = window;
        return true;
    }
    WindowHandle picked() const { return dialog_ != 0 ? dialog_ : other_; }

  private:
    const DialAttempt& attempt_;
    WindowService* closeWith_;
    WindowHandle dialog_ = 0, other_ = 0;
};

std::string ansiTitle(CodePageService& codePage, std::string_view prefix, std::string_view entry) {
    std::string title(prefix);
    title += entry;
    return codePage.toAnsi(title);
}

}  // namespace

RedialSupervisor::RedialSupervisor(Platform& platform, EventPump& pump, ConnectionProbe& probe)
    : platform_(platform), pump_(pump), probe_(probe), family_(platform.program.family()) {}

// The dialer the program started is held until it has ended or been given up: a dialog still waiting,
// or a dial still under way, must not get a second dialer beside it. Its end is the attempt's end.
bool RedialSupervisor::dialerRunning() {
    if (!attempt_ || !attempt_->dialer) return false;
    if (attempt_->dialer->running()) return true;
    if (attempt_->result != AttemptResult::InProgress) {  // closed by this program: its result stands
        attempt_->dialer.reset();
        ++changes_;
    } else if (family_ == PlatformFamily::WindowsNT) {
        const std::uint32_t code = attempt_->dialer->exitCode();
        endAttempt(code == 0 ? AttemptResult::Connected : AttemptResult::Failed, code);
    } else {
        endAttempt(AttemptResult::DialerEnded, 0);
    }
    return false;
}

// Runs as often as the system delivers timer ticks: every buffer is reused, nothing is allocated. On the
// NT family the dial-up service is asked only once per probe, never here.
bool RedialSupervisor::dialInProgress(std::string_view entry) {
    if (dialerRunning()) {
        if (!redialling_) lookAfterDialer();
        if (dialerHeld()) return true;
    }
    if (family_ == PlatformFamily::WindowsNT) return false;
    watchedTitle_.assign(kProgressTitlePrefix);
    watchedTitle_ += entry;
    platform_.codePage.toAnsi(watchedTitle_, watchedTitleAnsi_);
    return platform_.windows.findWindow(kDialogClass, watchedTitleAnsi_.c_str()) != 0;
}

// Once a second while the dialer is held. On NT: one that has not answered in 3 minutes will not, and
// may hold the modem: it is asked to hang up the way it was started, then ended. On 9x the dialer is kept
// moving: a late "Connect To", an error box, or the dialog back after a failed dial is answered within
// about a second; never while the entry is being dialled, whoever shows its progress.
void RedialSupervisor::lookAfterDialer() {
    DialAttempt& attempt = *attempt_;
    const std::uint32_t now = pump_.tickCount();
    if (now - attempt.lastLook < kLookIntervalMs) return;
    attempt.lastLook = now;
    const bool tooLong = now - attempt.startedAt >= kDialerLimitMs;
    if (family_ == PlatformFamily::WindowsNT) {
        if (!tooLong) return;
        if (const auto command = rasdialCommand(platform_.program.systemDirectory(), attempt.entry, true)) {
            platform_.processes.start(platform_.codePage.toAnsi(*command), sys::kSwHide);  // not held
        }
        attempt.dialer->terminate();
        return endAttempt(AttemptResult::Hung, 0);
    }
    if (attempt.closedAt) {
        if (now - *attempt.closedAt >= kCloseGraceMs) {
            attempt.dialer.reset();
            ++changes_;
        }
        return;
    }
    // Its job is done: a later drop gets a new dialer.
    if (probe_.connected(attempt.entry)) return endAttempt(AttemptResult::Connected, 0);
    if (tooLong) return closeDialer(attempt, AttemptResult::ClosedAfterTime);
    if (platform_.windows.findWindow(kDialogClass, attempt.progressTitleAnsi.c_str()) != 0) return;
    if (probe_.dialUnderWay(attempt.entry)) return;
    const WindowHandle dialog = dialogToConfirm(attempt);
    if (dialog == 0) return;
    if (attempt.confirmations >= kMostConfirmations)
        return closeDialer(attempt, AttemptResult::ClosedAfterTries);
    confirm(attempt, dialog);
}

void RedialSupervisor::closeDialer(DialAttempt& attempt, AttemptResult why) {
    DialerWindowWalk closeEach(attempt, &platform_.windows);
    visitDialerWindows(attempt, closeEach);
    attempt.result = why;
    attempt.closedAt = pump_.tickCount();
    ++changes_;
}

// On the NT family the result decides when the next attempt may come, or that none may.
void RedialSupervisor::endAttempt(AttemptResult result, std::uint32_t error) {
    attempt_->result = result;
    attempt_->error = error;
    attempt_->dialer.reset();
    ++changes_;
    if (family_ != PlatformFamily::WindowsNT || result == AttemptResult::Connected) return;
    switch (result == AttemptResult::Failed ? classifyDialResult(error) : DialOutcome::Transient) {
        case DialOutcome::Permanent:
            stopped_ = true;
            stopNotice_ = true;
            break;
        case DialOutcome::Wait:
            hold(kWaitRetryMs);
            break;
        case DialOutcome::Transient:
            hold(backOffMs(++failures_));
            break;
        case DialOutcome::Connected:
            break;
    }
}

// Also when the line is up, by this program's dial or anyone's: whatever stopped the redial has been
// mended.
void RedialSupervisor::resume() {
    failures_ = 0;
    holdMs_ = 0;
    stopped_ = false;
    stopNotice_ = false;
    ++changes_;
}

// The tick count went on while the machine slept: no attempt ran during the sleep, and the line has
// likely gone with it.
void RedialSupervisor::powerResumed() {
    if (attempt_ && attempt_->dialer) attempt_->startedAt = attempt_->lastLook = pump_.tickCount();
    holdMs_ = 0;
    ++changes_;
}

bool RedialSupervisor::redial(std::string_view entry) {
    // The redial lets events run while it waits for the dialer; a tick arriving meanwhile must not start
    // a second dialer, nor may any tick while the last one is still held.
    if (redialling_ || dialerRunning()) return false;
    const bool up = probe_.connected(entry);
    if (up != lineUp_) {
        lineUp_ = up;
        if (up) {
            resume();
            if (attempt_ && attempt_->result == AttemptResult::DialerEnded)
                attempt_->result = AttemptResult::Connected;
        }
        ++changes_;
    }
    if (up || stopped_ || holdLeftMs() > 0) return false;
    // Someone else's dial of the entry: on NT as the probe just made saw it, on 9x asked now.
    if (probe_.dialUnderWay(entry)) return false;
    redialling_ = true;
    const ScopeExit done([this] { redialling_ = false; });

    const bool nt = family_ == PlatformFamily::WindowsNT;
    if (attempt_)
        previous_ = EndedAttempt{std::move(attempt_->startedAtAnsi), attempt_->result, attempt_->error};
    DialAttempt& attempt = attempt_.emplace();
    attempt.entry = entry;
    attempt.startedAt = attempt.lastLook = pump_.tickCount();
    attempt.startedAtAnsi = platform_.program.timeOfDayAnsi(0);
    if (!nt) {
        attempt.progressTitleAnsi = ansiTitle(platform_.codePage, kProgressTitlePrefix, entry);
        attempt.connectedTitleAnsi = ansiTitle(platform_.codePage, kConnectedTitlePrefix, entry);
    }
    const std::optional<std::string> commandLine =
        nt ? rasdialCommand(platform_.program.systemDirectory(), entry)
           : std::string(kDialerCommandPrefix).append(entry);
    // Held before events run, so that the watch ticks among them already see the dial under way.
    if (commandLine) {
        attempt.dialer = platform_.processes.start(platform_.codePage.toAnsi(*commandLine),
                                                   nt ? sys::kSwHide : sys::kSwShowNormal);
    }
    ++changes_;
    if (!attempt.dialer) endAttempt(AttemptResult::NotStarted, 0);
    pump_.doEvents();
    // The NT family's dialer works without a dialog: there is nothing to confirm. A dial the service
    // lists is under way, whatever its progress window's language.
    if (!nt) {
        const WindowHandle dialog = waitForDialerWindow();
        if (dialog != 0 && !probe_.dialUnderWay(entry)) confirm(attempt, dialog);
    }
    pump_.doEvents();
    return true;
}

// The dialer's windows are those of the process started and of every process it started in turn.
void RedialSupervisor::visitDialerWindows(const DialAttempt& attempt, WindowVisitor& visitor) {
    const std::size_t count = platform_.processes.processTree(attempt.dialer->id(), dialerProcesses_);
    platform_.windows.processWindows(std::span(dialerProcesses_).first(count), visitor);
}

WindowHandle RedialSupervisor::dialogToConfirm(const DialAttempt& attempt) {
    DialerWindowWalk pick(attempt, nullptr);
    visitDialerWindows(attempt, pick);
    return pick.picked();
}

// The Enter key goes only to a window of the dialer just started, found by its processes whether or not
// it has become the active window: a program in the tray cannot make the dialer's dialog active. The
// wait ends with nothing to confirm as soon as the dialer has ended, or the program is closing.
WindowHandle RedialSupervisor::waitForDialerWindow() {
    const std::uint32_t start = pump_.tickCount();
    for (;;) {
        // The watch ticks among the events below let the dialer go once it has ended.
        if (!dialerRunning()) return 0;
        if (const WindowHandle dialog = dialogToConfirm(*attempt_)) return dialog;
        if (pump_.closing() || pump_.tickCount() - start >= kDialerWaitMs) return 0;
        pump_.waitForEvents(kDialerPollMs);
        pump_.doEvents();
    }
}

std::string counterCaption(std::int64_t count) {
    std::string caption(kCounterPrefix);
    caption += std::to_string(count);
    caption += kCounterSuffix;
    return caption;
}

}  // namespace kestrove::keeper
