// The redial supervisor: the dialer-window watch and the redial tick of the main window.

#include <string_view>

#include "keeper/NtDialUp.h"
#include "ui/frmMain.h"

namespace kestrove {

namespace {

constexpr std::string_view kProgressTitlePrefix = "Connecting to ";
constexpr const char* kProgressClass = "#32770";
constexpr std::string_view kDialerCommandPrefix = "rundll32.exe rnaui.dll,RnaDial ";
constexpr std::string_view kCounterPrefix = " You have been reconnected ";
constexpr std::string_view kCounterSuffix = " time(s).";
constexpr int kShowNormal = 1;
constexpr int kShowHidden = 0;

// How long the dialer gets to bring up its dialog before the Enter key is withheld. The dialog normally
// appears well within a second; three seconds allow for a busy machine without holding up the counter.
constexpr std::uint32_t kDialerWaitMs = 3000;
constexpr unsigned kDialerPollMs = 50;

}  // namespace

void frmMain::Timer1_Timer() {
    if (DialInProgress()) {
        tmrReconnect.setEnabled(false);
    } else if (chckAuto.value() == 1) {
        tmrReconnect.setEnabled(true);
    }
}

// The dialer the program started is held until it has ended: a dialog still waiting for the user, or a
// dial still under way, must not get a second dialer beside it. Its process handle is let go as soon as
// it has ended.
bool frmMain::DialerRunning() {
    if (dialer_ && dialer_->running()) return true;
    dialer_.reset();
    return false;
}

// Runs as often as the system delivers timer ticks: every buffer is reused, nothing is allocated. On the
// NT family the dial-up service is asked only once per probe, never here.
bool frmMain::DialInProgress() {
    if (DialerRunning()) return true;
    if (family_ == PlatformFamily::WindowsNT) return false;
    Combo1.readText(watchedEntry_);
    watchedTitle_.assign(kProgressTitlePrefix);
    watchedTitle_ += watchedEntry_;
    platform().codePage.toAnsi(watchedTitle_, watchedTitleAnsi_);
    return platform().windows.findWindow(kProgressClass, watchedTitleAnsi_.c_str()) != 0;
}

void frmMain::tmrReconnect_Timer() {
    // The redial lets events run while it waits for the dialer; a tick arriving meanwhile must not start
    // a second dialer, nor may any tick while the last one still runs.
    if (redialling_ || DialerRunning()) return;
    if (Connected_To_ISP()) return;
    const bool nt = family_ == PlatformFamily::WindowsNT;
    // Someone else's dial of the entry, seen by the probe just made.
    if (nt && probedEntry_ == keeper::EntryState::Dialling) return;
    redialling_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{redialling_};

    const std::string entry = Combo1.text();
    const std::optional<std::string> commandLine =
        nt ? keeper::rasdialCommand(platform().program.systemDirectory(), entry)
           : std::string(kDialerCommandPrefix).append(entry);
    // Held before events run, so that the watch ticks among them already see the dial under way.
    if (commandLine) {
        dialer_ = platform().processes.start(platform().codePage.toAnsi(*commandLine),
                                             nt ? kShowHidden : kShowNormal);
    }
    app().doEvents();
    // The NT family's dialer works without a dialog: there is nothing to confirm.
    if (!nt) {
        if (const WindowHandle dialog = WaitForDialerWindow()) platform().processes.sendEnter(dialog);
    }
    app().doEvents();
    ++ReconnectCount;
    std::string caption(kCounterPrefix);
    caption += std::to_string(ReconnectCount);
    caption += kCounterSuffix;
    lblLoop.setCaption(caption);
}

// The Enter key goes only to a window of the dialer just started, found by its process whether or not
// it has become the active window: a program in the tray cannot make the dialer's dialog active. The
// wait ends with nothing to confirm as soon as the dialer has ended.
WindowHandle frmMain::WaitForDialerWindow() {
    forms::Backend& queue = app().backend();
    const std::uint32_t start = queue.tickCount();
    for (;;) {
        // The watch ticks among the events below let the dialer go once it has ended.
        if (!DialerRunning()) return 0;
        if (const WindowHandle dialog = platform().windows.processWindow(dialer_->id())) return dialog;
        if (!loaded() || queue.tickCount() - start >= kDialerWaitMs) return 0;
        queue.waitForMessages(kDialerPollMs);
        app().doEvents();
    }
}

}  // namespace kestrove
