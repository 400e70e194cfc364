// The redial supervisor: the dialer-window watch and the redial tick of the main window.

#include <string_view>

#include "ui/frmMain.h"

namespace kestrove {

namespace {

constexpr std::string_view kProgressTitlePrefix = "Connecting to ";
constexpr const char* kProgressClass = "#32770";
constexpr std::string_view kDialerCommandPrefix = "rundll32.exe rnaui.dll,RnaDial ";
constexpr std::string_view kCounterPrefix = " You have been reconnected ";
constexpr std::string_view kCounterSuffix = " time(s).";
constexpr int kShowNormal = 1;

// How long the dialer gets to bring up its dialog before the Enter key is withheld. The dialog normally
// appears well within a second; three seconds allow for a busy machine without holding up the counter.
constexpr std::uint32_t kDialerWaitMs = 3000;
constexpr unsigned kDialerPollMs = 50;

}  // namespace

void frmMain::Timer1_Timer() {
    // Runs as often as the system delivers timer ticks: every buffer is reused, nothing is allocated.
    Combo1.readText(watchedEntry_);
    watchedTitle_.assign(kProgressTitlePrefix);
    watchedTitle_ += watchedEntry_;
    platform().codePage.toAnsi(watchedTitle_, watchedTitleAnsi_);
    if (platform().windows.findWindow(kProgressClass, watchedTitleAnsi_.c_str()) != 0) {
        tmrReconnect.setEnabled(false);
    } else if (chckAuto.value() == 1) {
        tmrReconnect.setEnabled(true);
    }
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

    std::string commandLine(kDialerCommandPrefix);
    commandLine += Combo1.text();
    const auto dialer = platform().processes.start(platform().codePage.toAnsi(commandLine), kShowNormal);
    app().doEvents();
    if (dialer) {
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
