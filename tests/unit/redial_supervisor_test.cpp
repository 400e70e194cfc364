// Keeping the connection alive: one attempt per second while down, none while the dialer's progress
// window is open, the dialer started last still runs, or the switch is off; Enter only for the dialer
// just started.
#include "KestroveFixture.h"

namespace kestrove::testing {
namespace {

constexpr const char* kKey = "System\\CurrentControlSet\\Services\\RemoteAccess";
constexpr const char* kValue = "Remote Connection";
constexpr const char* kDial1 = "rundll32.exe rnaui.dll,RnaDial Dial 1";

class Redial : public KestroveTest {
  protected:
    Redial() {
        setConnected(false);
        // Like the real dialer whose dial fails at once: its dialog comes up (not necessarily active),
        // and once confirmed the dialer ends.
        sim.onProcessStart([this](const std::string&, std::uint32_t pid) {
            dialogs.push_back(sim.addWindow("#32770", "Dial-up", pid));
            dialers.push_back(pid);
        });
        sim.onEnter([this](WindowHandle window) {
            for (std::size_t i = 0; i < dialogs.size(); ++i) {
                if (dialogs[i] == window) sim.endProcess(dialers[i]);
            }
        });
    }
    void setConnected(bool up) { sim.setRegistryValue(kKey, kValue, {std::uint8_t(up ? 1 : 0), 0, 0, 0}); }
    // Starts armed: a saved entry "Dial 1" with the switch on.
    frmMain& startArmed() {
        sim.setFile(kSettingsPath, kArmedSettings);
        return start();
    }
    std::size_t dials() const { return sim.startedCommandLines().size(); }
    std::string counter(frmMain& main) const { return native(main.lblLoop).text; }
    std::string toolTip(frmMain& main) const { return native(main.lblLoop).desc.toolTip; }

    std::vector<WindowHandle> dialogs;
    std::vector<std::uint32_t> dialers;
};

TEST_F(Redial, ConnectionUpMeansNothingIsStarted) {
    setConnected(true);
    frmMain& main = startArmed();
    sim.ui().advance(10'000);
    EXPECT_EQ(dials(), 0u) << calls();
    EXPECT_EQ(main.ReconnectCount, 0);
    EXPECT_EQ(counter(main), " You have been reconnected 0 times.");
}

TEST_F(Redial, FirstAttemptComesOneFullSecondAfterArmingThenOneEverySecond) {
    // The watch enables the redial timer every few milliseconds; only keeping the running interval
    // lets it fire at all.
    frmMain& main = startArmed();
    sim.ui().advance(999);
    EXPECT_EQ(dials(), 0u) << calls();
    sim.ui().advance(1);
    ASSERT_EQ(dials(), 1u) << calls();
    EXPECT_EQ(sim.startedCommandLines()[0], kDial1);
    EXPECT_EQ(sim.log().count(std::string("CreateProcessA(") + kDial1 + ", 1)"), 1u) << calls();
    EXPECT_EQ(sim.enterTargets(), std::vector<WindowHandle>{dialogs[0]});
    EXPECT_EQ(counter(main), " You have been reconnected 1 time(s).");

    sim.ui().advance(3000);
    EXPECT_EQ(dials(), 4u);
    EXPECT_EQ(sim.enterTargets().size(), 4u);
    EXPECT_EQ(main.ReconnectCount, 4);
    EXPECT_EQ(counter(main), " You have been reconnected 4 time(s).");
}

TEST_F(Redial, ProgressWindowOfTheEntryStopsRedialling) {
    frmMain& main = startArmed();
    const WindowHandle progress = sim.addWindow("#32770", "Connecting to Dial 1");
    sim.ui().advance(5000);
    EXPECT_EQ(dials(), 0u) << calls();
    EXPECT_FALSE(main.tmrReconnect.enabled());

    sim.removeWindow(progress);
    sim.ui().advance(20);
    EXPECT_TRUE(main.tmrReconnect.enabled());
    sim.ui().advance(1000);
    EXPECT_EQ(dials(), 1u);
}

TEST_F(Redial, OtherClassOrOtherEntryDoesNotStopIt) {
    startArmed();
    sim.addWindow("Dialog", "Connecting to Dial 1");
    sim.addWindow("#32770", "Connecting to Dial 2");
    sim.addWindow("#32770", "Connecting to Dial 1 ");
    sim.ui().advance(2000);
    EXPECT_EQ(dials(), 2u) << calls();
}

TEST_F(Redial, UntickingStopsAtOnceAndTheWindowClosingLaterDoesNotReArm) {
    sim.setFile(kSettingsPath, "\"Dial 1\"\r\n0\r\n");
    frmMain& main = start();
    sim.ui().click(main.chckAuto.native());
    sim.ui().advance(500);
    const WindowHandle progress = sim.addWindow("#32770", "Connecting to Dial 1");
    sim.ui().advance(100);
    sim.ui().click(main.chckAuto.native());
    sim.ui().advance(100);
    sim.removeWindow(progress);
    sim.ui().advance(5000);
    EXPECT_EQ(dials(), 0u) << calls();
    EXPECT_FALSE(main.tmrReconnect.enabled());
}

TEST_F(Redial, UntickingWhileNoDialIsUnderWayDisarms) {
    frmMain& main = startArmed();
    sim.ui().advance(500);
    sim.ui().click(main.chckAuto.native());
    sim.ui().advance(5000);
    EXPECT_EQ(dials(), 0u) << calls();
    EXPECT_FALSE(main.tmrReconnect.enabled());
}

TEST_F(Redial, GreyedSwitchStaysUnarmedAcrossWatchTicks) {
    sim.setFile(kSettingsPath, "\"Dial 1\"\r\n2\r\n");
    frmMain& main = start();
    ASSERT_EQ(main.chckAuto.value(), 2);
    sim.ui().advance(5000);
    EXPECT_EQ(dials(), 0u) << calls();
    EXPECT_FALSE(main.tmrReconnect.enabled());
}

TEST_F(Redial, ChangedComboTextIsWatchedAndDialledFromTheNextTick) {
    frmMain& main = startArmed();
    sim.ui().type(main.Combo1.native(), "Dial 2");
    sim.addWindow("#32770", "Connecting to Dial 1");  // no longer the entry's window
    sim.ui().advance(1000);
    ASSERT_EQ(dials(), 1u) << calls();
    EXPECT_EQ(sim.startedCommandLines()[0], "rundll32.exe rnaui.dll,RnaDial Dial 2");
    sim.addWindow("#32770", "Connecting to Dial 2");
    sim.ui().advance(3000);
    EXPECT_EQ(dials(), 1u);
}

TEST_F(Redial, EmptyEntryNameStillDialsWithTheTrailingSpace) {
    sim.setFile(kSettingsPath, "\r\n1\r\n");
    start();
    sim.ui().advance(1000);
    ASSERT_EQ(dials(), 1u);
    EXPECT_EQ(sim.startedCommandLines()[0], "rundll32.exe rnaui.dll,RnaDial ");
}

// The system keeps a program started from the tray from becoming active: the dialog is found by its
// process, whatever window is active, and nothing goes to any other program's window.
TEST_F(Redial, EnterGoesToTheDialersOwnDialogWhetherActiveOrNot) {
    sim.addWindow("#32770", "Delete all files?", 4242);
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        const WindowHandle hidden = sim.addWindow("#32770", "Hidden", pid);
        sim.setWindowVisible(hidden, false);
        sim.addWindow("RunDLL", "", pid);
        dialogs.push_back(sim.addWindow("#32770", "Dial-up", pid));
        dialers.push_back(pid);
    });
    frmMain& main = startArmed();
    sim.ui().advance(1000);
    EXPECT_EQ(dials(), 1u);
    EXPECT_EQ(sim.enterTargets(), std::vector<WindowHandle>{dialogs[0]}) << calls();
    EXPECT_EQ(main.ReconnectCount, 1);
    EXPECT_EQ(counter(main), " You have been reconnected 1 time(s).");
}

TEST_F(Redial, EnterWaitsForTheDialerWindowThatComesUpLate) {
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        dialers.push_back(pid);
        sim.ui().post([this, pid] { dialogs.push_back(sim.addWindow("#32770", "Dial-up", pid)); });
    });
    startArmed();
    sim.ui().advance(1000);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(sim.enterTargets(), std::vector<WindowHandle>{dialogs[0]}) << calls();
}

TEST_F(Redial, AFailedDialerStartSendsNothingButCounts) {
    sim.setProcessStartFails(true);
    frmMain& main = startArmed();
    sim.ui().advance(2000);
    EXPECT_EQ(sim.log().count("SendEnter"), 0u) << calls();
    EXPECT_EQ(main.ReconnectCount, 2);
}

// A dialog that ignores Enter holds the redial off while it is answered once a second, ten times; then
// the dialer is asked to close and given up 10 s later, and the next tick starts a new one.
TEST_F(Redial, ADialerThatKeepsAskingIsAnsweredTenTimesThenClosed) {
    sim.onEnter([](WindowHandle) {});
    frmMain& main = startArmed();
    sim.ui().advance(1000);
    ASSERT_EQ(dials(), 1u);
    EXPECT_EQ(sim.enterTargets().size(), 1u);
    sim.ui().advance(8000);
    EXPECT_EQ(sim.enterTargets().size(), 9u) << "not answered about once a second";
    EXPECT_FALSE(main.tmrReconnect.enabled());
    sim.ui().advance(5000);
    EXPECT_EQ(sim.enterTargets(), std::vector<WindowHandle>(10, dialogs[0]));
    EXPECT_EQ(sim.closedWindows(), std::vector<WindowHandle>{dialogs[0]});
    EXPECT_EQ(dials(), 1u) << "a second dialer beside the first";
    EXPECT_EQ(sim.heldProcesses(), 1u);
    sim.ui().advance(12'000);
    EXPECT_EQ(dials(), 2u) << "the closed dialer was waited for too long";
    EXPECT_EQ(main.ReconnectCount, 2);
    EXPECT_EQ(counter(main), " You have been reconnected 2 time(s).");
}

// Whatever the dialer shows first or later, it is answered within about a second, never a second
// dialer beside it, never its progress or connected window.
TEST_F(Redial, ADialogFourSecondsLateIsConfirmed) {
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) { dialers.push_back(pid); });
    startArmed();
    sim.ui().advance(1000);  // the start, and the redial's own wait for the dialog
    ASSERT_EQ(dials(), 1u);
    EXPECT_TRUE(sim.enterTargets().empty());
    const WindowHandle late = sim.addWindow("#32770", "Connect To", dialers[0]);
    dialogs.push_back(late);
    sim.ui().advance(1100);
    EXPECT_EQ(sim.enterTargets(), std::vector<WindowHandle>{late}) << calls();
    sim.ui().advance(1100);
    EXPECT_EQ(dials(), 2u) << "the confirmed dialer ended: the next tick redials";
}

TEST_F(Redial, AnErrorBoxAfterEnterIsConfirmedAtTheNextSecondUntilTheLineIsUp) {
    // The dialer keeps running: Enter on its dialog brings up an error box, Enter there the dialog again.
    std::vector<WindowHandle> pressed;
    sim.onEnter([&](WindowHandle window) {
        pressed.push_back(window);
        const std::uint32_t pid = dialers.back();
        sim.removeWindow(window);
        dialogs.push_back(sim.addWindow("#32770", dialogs.size() % 2 ? "Error" : "Dial-up", pid));
    });
    frmMain& main = startArmed();
    sim.ui().advance(1000);
    ASSERT_EQ(pressed.size(), 1u);
    sim.ui().advance(1100);
    ASSERT_EQ(pressed.size(), 2u) << "the error box waits for the user";
    EXPECT_EQ(pressed[1], dialogs[1]);
    sim.ui().advance(2000);
    EXPECT_EQ(pressed.size(), 4u);
    EXPECT_EQ(dials(), 1u);

    // Up: the dialer's job is done; it is let go, neither closed nor pressed again.
    setConnected(true);
    sim.ui().advance(1100);
    const std::size_t answered = pressed.size();
    EXPECT_EQ(sim.heldProcesses(), 0u);
    sim.ui().advance(5000);
    EXPECT_EQ(pressed.size(), answered);
    EXPECT_TRUE(sim.closedWindows().empty());
    EXPECT_EQ(dials(), 1u);
    EXPECT_EQ(toolTip(main), "Last attempt at 08:00:01: connected. The line is up.");
}

TEST_F(Redial, TheDialersProgressAndConnectedWindowsGetNoEnter) {
    // "Prompt for information before dialing" off: the progress window is the dialer's first.
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        dialers.push_back(pid);
        dialogs.push_back(sim.addWindow("#32770", "Connecting to Dial 1", pid));
    });
    startArmed();
    sim.ui().advance(15'000);
    EXPECT_EQ(dials(), 1u);
    EXPECT_TRUE(sim.enterTargets().empty()) << calls();
    sim.removeWindow(dialogs[0]);
    sim.addWindow("#32770", "Connected to Dial 1", dialers[0]);
    sim.ui().advance(5000);
    EXPECT_TRUE(sim.enterTargets().empty()) << calls();
}

// In another language the progress window's title means nothing here; the dial the service lists does.
TEST_F(Redial, AProgressWindowInAnotherLanguageIsKnownByTheListedDial) {
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        dialers.push_back(pid);
        sim.addWindow("#32770", "Verbindung mit Dial 1", pid);
        sim.setRasConnections({{"Dial 1", RasState::Dialling}});
    });
    startArmed();
    sim.ui().advance(6000);
    EXPECT_EQ(dials(), 1u);
    EXPECT_TRUE(sim.enterTargets().empty()) << calls();
}

// A dialer that never ends and never asks is closed after 3 minutes, with all its processes' windows,
// and the next one starts.
TEST_F(Redial, ADialerThatNeverEndsIsClosedAfterThreeMinutes) {
    WindowHandle helper = 0;
    std::vector<std::uint32_t> starts;
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        starts.push_back(sim.ui().nowMs());
        dialers.push_back(pid);
        if (helper == 0) helper = sim.addWindow("Modem", "", sim.spawnProcess(pid));
        dialogs.push_back(sim.addWindow("#32770", "Connecting to Dial 1", pid));
    });
    frmMain& main = startArmed();
    sim.ui().advance(1000);
    ASSERT_EQ(dials(), 1u);
    const std::uint32_t started = starts[0];
    const std::uint32_t closed = advanceUntil([&] { return !sim.closedWindows().empty(); }, 200'000);
    EXPECT_GE(closed - started, 180'000u);
    EXPECT_LE(closed - started, 181'100u);
    EXPECT_EQ(sim.closedWindows(), (std::vector<WindowHandle>{helper, dialogs[0]})) << calls();
    advanceUntil([&] { return dials() == 2; }, 20'000);
    ASSERT_EQ(starts.size(), 2u);
    const std::uint32_t next = starts[1];
    EXPECT_GE(next - closed, 10'000u) << "given up before its 10 s to close";
    EXPECT_LE(next - closed, 12'100u);
    EXPECT_TRUE(sim.enterTargets().empty());
    EXPECT_EQ(main.ReconnectCount, 2);
    EXPECT_EQ(
        toolTip(main),
        "Last attempt at 08:00:01: the dialer was closed after 3 minutes without a connection. Dialling "
        "again since 08:03:12.");
}

// Windows 9x lists a connection as soon as it dials, in every language: no progress window needed.
TEST_F(Redial, AConnectionListedAsDiallingHoldsTheRedialOff) {
    sim.setRasConnections({{"Dial 1", RasState::Dialling}});
    frmMain& main = startArmed();
    sim.ui().advance(5000);
    EXPECT_EQ(dials(), 0u) << calls();
    EXPECT_TRUE(main.tmrReconnect.enabled()) << "the watch's title check changed";
    sim.setRasConnections({{"Dial 1", RasState::Dialling, 678}});  // that dial has failed
    sim.ui().advance(1000);
    EXPECT_EQ(dials(), 1u);
}

TEST_F(Redial, ADialerThatQuitsAtOnceIsRetriedAtTheProbesPace) {
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) { sim.endProcess(pid); });
    frmMain& main = startArmed();
    sim.ui().advance(5000);
    EXPECT_EQ(dials(), 5u) << calls();
    EXPECT_TRUE(sim.enterTargets().empty());
    EXPECT_EQ(main.ReconnectCount, 5);
}

// The supervisor alone, driven as the timers drive it: a second tick gets no second dialer, neither while
// the first is held nor while the first tick still lets events run.
TEST_F(Redial, NoSecondDialerWhileTheFirstIsHeldOrItsTickStillRuns) {
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) { dialers.push_back(pid); });
    keeper::ConnectionProbe probe(sim.platform());
    keeper::RedialSupervisor redial(sim.platform(), app, probe);
    EXPECT_TRUE(redial.redial("Dial 1"));
    EXPECT_FALSE(redial.redial("Dial 1"));
    EXPECT_EQ(dials(), 1u);

    sim.setProcessStartFails(true);  // nothing held: only the running tick keeps the next one out
    keeper::RedialSupervisor second(sim.platform(), app, probe);
    bool inner = true;
    sim.ui().post([&] { inner = second.redial("Dial 1"); });
    EXPECT_TRUE(second.redial("Dial 1"));
    EXPECT_FALSE(inner);
    EXPECT_EQ(sim.log().count("CreateProcessA"), 2u) << calls();
}

TEST_F(Redial, ClosingTheMainWindowEndsTheWaitForTheDialersDialog) {
    forms::NativeId window = 0;
    sim.onProcessStart([&](const std::string&, std::uint32_t) { sim.ui().closeForm(window); });
    window = startArmed().native();
    sim.ui().advance(1000);
    EXPECT_EQ(dials(), 1u);
    EXPECT_EQ(sim.log().count("EnumWindows"), 1u) << "still waiting for a dialog after the close";
    EXPECT_EQ(sim.ui().formNamed("frmMain"), nullptr);
}

TEST_F(Redial, CounterKeepsCountingPast32767) {
    frmMain& main = startArmed();
    main.ReconnectCount = 32767;
    sim.ui().advance(1000);
    EXPECT_EQ(counter(main), " You have been reconnected 32768 time(s).");
}

}  // namespace
}  // namespace kestrove::testing
