#include "keeper/RnaDialer.h"

#include "keeper/RedialPolicy.h"
#include "platform/SystemCodes.h"

namespace kestrove::keeper {

namespace {

constexpr std::string_view kProgressTitlePrefix = "Connecting to ";
constexpr std::string_view kConnectedTitlePrefix = "Connected to ";
constexpr const char* kDialogClass = "#32770";
constexpr std::string_view kDialerCommandPrefix = "rundll32.exe rnaui.dll,RnaDial ";
constexpr const char* kDialUpHelper = "RNAAPP.EXE";

// How long the redial waits for the dialer to bring up its dialog. The dialog normally appears well
// within a second; a later one is answered by the look once a second.
constexpr std::uint32_t kDialerWaitMs = 3000;
constexpr unsigned kDialerPollMs = 50;
// A dialer that keeps asking after 10 answers is stuck on something Enter does not mend.
constexpr unsigned kMostConfirmations = 10;

// A walk over the windows of the dialer's processes, then of the dial-up helper's, where only dialogs
// count. The entry's progress or connected window is never touched, and while one shows nothing is
// confirmed (Enter there would press Cancel or Disconnect).
class DialerWindowWalk final : public WindowVisitor {
  public:
    DialerWindowWalk(const DialAttempt& attempt, WindowService* closeWith)
        : attempt_(attempt), closeWith_(closeWith) {}
    bool visit(WindowHandle window, std::string_view classAnsi, std::string_view titleAnsi) override {
        if (titleAnsi == attempt_.progressTitleAnsi || titleAnsi == attempt_.connectedTitleAnsi) {
            if (closeWith_ != nullptr) return true;
            dialog_ = other_ = 0;
            return !(done = true);
        }
        const bool dialog = classAnsi == kDialogClass;
        if (dialogsOnly && !dialog) return true;
        if (closeWith_ != nullptr) {
            closeWith_->close(window);
        } else if (dialog) {
            dialog_ = window;
            return !(done = true);
        } else if (other_ == 0) {
            other_ = window;
        }
        return true;
    }
    WindowHandle picked() const { return dialog_ != 0 ? dialog_ : other_; }

    bool dialogsOnly = false;  // the helper's windows
    bool done = false;

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

std::unique_ptr<StartedProcess> RnaDialer::start(DialAttempt& attempt) {
    attempt.progressTitleAnsi = ansiTitle(platform_.codePage, kProgressTitlePrefix, attempt.entry);
    attempt.connectedTitleAnsi = ansiTitle(platform_.codePage, kConnectedTitlePrefix, attempt.entry);
    return platform_.processes.start(
        platform_.codePage.toAnsi(std::string(kDialerCommandPrefix).append(attempt.entry)),
        sys::kSwShowNormal);
}

// A dial the service lists is under way, whatever its progress window's language: no Enter then.
void RnaDialer::confirm(DialAttempt& attempt) {
    const WindowHandle dialog = waitForDialerWindow(attempt);
    if (dialog != 0 && !probe_.dialUnderWay(attempt.entry)) press(attempt, dialog);
}

// Up as it ends, the line may not stay up till the next look. Down, the dialer may have handed the dial
// to the helper, which dials on.
void RnaDialer::dialerEnded(DialAttempt& attempt, std::uint32_t, std::uint32_t now) {
    if (probe_.connected(attempt.entry)) return attempt.end(AttemptResult::Connected);
    attempt.settle(now);
}

// Runs as often as the system delivers timer ticks: every buffer is reused, nothing is allocated.
bool RnaDialer::dialShown(std::string_view entry) {
    watchedTitle_.assign(kProgressTitlePrefix);
    watchedTitle_ += entry;
    platform_.codePage.toAnsi(watchedTitle_, watchedTitleAnsi_);
    return platform_.windows.findWindow(kDialogClass, watchedTitleAnsi_.c_str()) != 0;
}

// Its progress window, or a dial the service lists: the time limits count from the last time one was seen.
bool RnaDialer::underWay(DialAttempt& attempt) {
    return platform_.windows.findWindow(kDialogClass, attempt.progressTitleAnsi.c_str()) != 0 ||
           probe_.dialUnderWay(attempt.entry);
}

// The dialer and the helper are kept moving: a late "Connect To", an error box, or the dialog back after a
// failed dial is answered within about a second; never while the entry is being dialled, whoever dials.
void RnaDialer::look(DialAttempt& attempt, std::uint32_t now) {
    if (attempt.phase == AttemptPhase::Closing) {
        // Given 10 s to close, then ended: never left running beside the next one.
        if (now - attempt.closingAt < kCloseGraceMs) return;
        attempt.endDialer();
        return;
    }
    // Its job is done: a later drop gets a new dialer.
    if (probe_.connected(attempt.entry)) {
        attempt.dialer.reset();
        return attempt.end(AttemptResult::Connected);
    }
    if (underWay(attempt)) {
        attempt.underWayAt = attempt.settlingAt = now;
        return;
    }
    if (attempt.phase == AttemptPhase::Settling && now - attempt.settlingAt >= kSettleMs)
        return attempt.end(AttemptResult::DialerEnded);
    if (attempt.phase == AttemptPhase::Dialling && now - attempt.underWayAt >= kDialerLimitMs)
        return close(attempt, AttemptResult::ClosedAfterTime, now);
    const WindowHandle dialog = dialogToConfirm(attempt);
    if (dialog == 0) return;
    if (attempt.confirmations >= kMostConfirmations)
        return close(attempt, AttemptResult::ClosedAfterTries, now);
    press(attempt, dialog);
}

void RnaDialer::close(DialAttempt& attempt, AttemptResult why, std::uint32_t now) {
    DialerWindowWalk closeEach(attempt, &platform_.windows);
    visitWindows(attempt, closeEach);
    attempt.summary.result = why;
    attempt.phase = AttemptPhase::Closing;
    attempt.closingAt = now;
}

// The dialer's windows are those of the process started and of every process it started in turn; the
// helper is nobody's child once it stays resident after a connection.
template <class Walk>
void RnaDialer::visitWindows(const DialAttempt& attempt, Walk& walk) {
    ProcessService& processes = platform_.processes;
    if (attempt.dialer) {
        const std::size_t count = processes.processTree(attempt.dialer->id(), processes_);
        platform_.windows.processWindows(std::span(processes_).first(count), walk);
    }
    if (walk.done) return;
    walk.dialogsOnly = true;
    const std::size_t count = processes.processesNamed(kDialUpHelper, processes_);
    if (count > 0) platform_.windows.processWindows(std::span(processes_).first(count), walk);
}

WindowHandle RnaDialer::dialogToConfirm(const DialAttempt& attempt) {
    DialerWindowWalk pick(attempt, nullptr);
    visitWindows(attempt, pick);
    return pick.picked();
}

// The Enter key goes only to a window of the dialer just started (or of the helper), found by its
// processes whether or not it has become the active window: a program in the tray cannot make the
// dialer's dialog active. The wait ends with nothing to confirm as soon as the dialer has ended, or the
// program is closing.
WindowHandle RnaDialer::waitForDialerWindow(DialAttempt& attempt) {
    const std::uint32_t start = pump_.tickCount();
    for (;;) {
        // The watch ticks among the events below let the dialer go once it has ended.
        if (attempt.phase != AttemptPhase::Dialling || !attempt.dialer) return 0;
        if (const WindowHandle dialog = dialogToConfirm(attempt)) return dialog;
        if (pump_.closing() || pump_.tickCount() - start >= kDialerWaitMs) return 0;
        pump_.waitForEvents(kDialerPollMs);
        pump_.doEvents();
    }
}

}  // namespace kestrove::keeper
