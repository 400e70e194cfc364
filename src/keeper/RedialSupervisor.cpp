#include "keeper/RedialSupervisor.h"

#include <string_view>

#include "keeper/NtDialUp.h"
#include "platform/ScopeExit.h"
#include "platform/SystemCodes.h"

namespace kestrove::keeper {

namespace {

constexpr std::string_view kProgressTitlePrefix = "Connecting to ";
constexpr const char* kProgressClass = "#32770";
constexpr std::string_view kDialerCommandPrefix = "rundll32.exe rnaui.dll,RnaDial ";
constexpr std::string_view kCounterPrefix = " You have been reconnected ";
constexpr std::string_view kCounterSuffix = " time(s).";

// How long the dialer gets to bring up its dialog before the Enter key is withheld. The dialog normally
// appears well within a second; three seconds allow for a busy machine without holding up the counter.
constexpr std::uint32_t kDialerWaitMs = 3000;
constexpr unsigned kDialerPollMs = 50;

}  // namespace

RedialSupervisor::RedialSupervisor(Platform& platform, forms::Application& app, const forms::Form& window,
                                   const forms::ComboBox& entry, ConnectionProbe& probe)
    : platform_(platform),
      app_(app),
      window_(window),
      entry_(entry),
      probe_(probe),
      family_(platform.program.family()) {}

// The dialer the program started is held until it has ended: a dialog still waiting for the user, or a
// dial still under way, must not get a second dialer beside it. Its process handle is let go as soon as
// it has ended.
bool RedialSupervisor::dialerRunning() {
    if (dialer_ && dialer_->running()) return true;
    dialer_.reset();
    return false;
}

// Runs as often as the system delivers timer ticks: every buffer is reused, nothing is allocated. On the
// NT family the dial-up service is asked only once per probe, never here.
bool RedialSupervisor::dialInProgress() {
    if (dialerRunning()) return true;
    if (family_ == PlatformFamily::WindowsNT) return false;
    entry_.readText(watchedEntry_);
    watchedTitle_.assign(kProgressTitlePrefix);
    watchedTitle_ += watchedEntry_;
    platform_.codePage.toAnsi(watchedTitle_, watchedTitleAnsi_);
    return platform_.windows.findWindow(kProgressClass, watchedTitleAnsi_.c_str()) != 0;
}

bool RedialSupervisor::redial() {
    // The redial lets events run while it waits for the dialer; a tick arriving meanwhile must not start
    // a second dialer, nor may any tick while the last one still runs.
    if (redialling_ || dialerRunning()) return false;
    if (probe_.connected()) return false;
    const bool nt = family_ == PlatformFamily::WindowsNT;
    // Someone else's dial of the entry, seen by the probe just made.
    if (nt && probe_.entryDialling()) return false;
    redialling_ = true;
    const ScopeExit done([this] { redialling_ = false; });

    const std::string entry = entry_.text();
    const std::optional<std::string> commandLine =
        nt ? rasdialCommand(platform_.program.systemDirectory(), entry)
           : std::string(kDialerCommandPrefix).append(entry);
    // Held before events run, so that the watch ticks among them already see the dial under way.
    if (commandLine) {
        dialer_ = platform_.processes.start(platform_.codePage.toAnsi(*commandLine),
                                            nt ? sys::kSwHide : sys::kSwShowNormal);
    }
    app_.doEvents();
    // The NT family's dialer works without a dialog: there is nothing to confirm.
    if (!nt) {
        if (const WindowHandle dialog = waitForDialerWindow()) platform_.processes.sendEnter(dialog);
    }
    app_.doEvents();
    return true;
}

// The Enter key goes only to a window of the dialer just started, found by its process whether or not
// it has become the active window: a program in the tray cannot make the dialer's dialog active. The
// wait ends with nothing to confirm as soon as the dialer has ended.
WindowHandle RedialSupervisor::waitForDialerWindow() {
    forms::Backend& queue = app_.backend();
    const std::uint32_t start = queue.tickCount();
    for (;;) {
        // The watch ticks among the events below let the dialer go once it has ended.
        if (!dialerRunning()) return 0;
        if (const WindowHandle dialog = platform_.windows.processWindow(dialer_->id())) return dialog;
        if (!window_.loaded() || queue.tickCount() - start >= kDialerWaitMs) return 0;
        queue.waitForMessages(kDialerPollMs);
        app_.doEvents();
    }
}

std::string counterCaption(std::int64_t count) {
    std::string caption(kCounterPrefix);
    caption += std::to_string(count);
    caption += kCounterSuffix;
    return caption;
}

}  // namespace kestrove::keeper
