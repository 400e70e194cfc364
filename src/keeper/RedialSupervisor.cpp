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

// Runs as often as the system delivers timer ticks: every buffer is reused, nothing is allocated.
bool frmMain::DialInProgress() {
    Combo1.readText(watchedEntry_);
    if (family_ == PlatformFamily::WindowsNT) {
        platform().codePage.toAnsi(watchedEntry_, watchedTitleAnsi_);
        return keeper::dialInProgress(platform().rasConnections, platform().processes, dialer_,
                                      watchedTitleAnsi_, connections_);
    }
    watchedTitle_.assign(kProgressTitlePrefix);
    watchedTitle_ += watchedEntry_;
    platform().codePage.toAnsi(watchedTitle_, watchedTitleAnsi_);
    return platform().windows.findWindow(kProgressClass, watchedTitleAnsi_.c_str()) != 0;
}

void frmMain::tmrReconnect_Timer() {
    // The redial lets events run while it waits for the dialer; a tick arriving meanwhile must not start
    // a second dialer.
    if (redialling_) return;
    if (Connected_To_ISP()) return;
    redialling_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{redialling_};

    const bool nt = family_ == PlatformFamily::WindowsNT;
    const std::string entry = Combo1.text();
    const std::string commandLine =
        nt ? keeper::rasdialCommand(entry) : std::string(kDialerCommandPrefix).append(entry);
    const auto dialer =
        platform().processes.start(platform().codePage.toAnsi(commandLine), nt ? kShowHidden : kShowNormal);
    if (nt) dialer_ = dialer;
    app().doEvents();
    // The NT family's dialer works without a dialog: there is nothing to confirm.
    if (dialer && !nt) {
        if (const WindowHandle dialog = WaitForDialerWindow(*dialer)) platform().processes.sendEnter(dialog);
    }
    app().doEvents();
    ++ReconnectCount;
    std::string caption(kCounterPrefix);
    caption += std::to_string(ReconnectCount);
    caption += kCounterSuffix;
    lblLoop.setCaption(caption);
}

// The Enter key goes only to the dialer just started: a window of its process that has become the
// active window. Anything else active (another program's dialog) gets nothing.
WindowHandle frmMain::WaitForDialerWindow(std::uint32_t processId) {
    forms::Backend& queue = app().backend();
    WindowService& windows = platform().windows;
    const std::uint32_t start = queue.tickCount();
    for (;;) {
        const WindowHandle active = windows.foregroundWindow();
        if (active != 0 && windows.windowProcessId(active) == processId) return active;
        if (!loaded() || queue.tickCount() - start >= kDialerWaitMs) return 0;
        queue.waitForMessages(kDialerPollMs);
        app().doEvents();
    }
}

}  // namespace kestrove
