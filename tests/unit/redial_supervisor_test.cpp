// Keeping the connection alive: one attempt per second while down, none while the dialer's progress
// window is open, the dialer started last still runs, or the switch is off; Enter only for the dialer
// just started.
#include <algorithm>

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
        sim.setFile(kSettingsPath, kThirteenBytes);
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

TEST_F(Redial, FirstAttemptComesOneFullSecondAfterArmingThenFailedDialsBackOff) {
    // The watch enables the redial timer every few milliseconds; only keeping the running interval
    // lets it fire at all.
    std::vector<std::uint32_t> starts;
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        starts.push_back(sim.ui().nowMs());
        dialogs.push_back(sim.addWindow("#32770", "Dial-up", pid));
        dialers.push_back(pid);
    });
    frmMain& main = startArmed();
    sim.ui().advance(999);
    EXPECT_EQ(dials(), 0u) << calls();
    sim.ui().advance(1);
    ASSERT_EQ(dials(), 1u) << calls();
    EXPECT_EQ(sim.startedCommandLines()[0], kDial1);
    EXPECT_EQ(sim.log().count(std::string("CreateProcessA(") + kDial1 + ", 1)"), 1u) << calls();
    EXPECT_EQ(sim.enterTargets(), std::vector<WindowHandle>{dialogs[0]});
    EXPECT_EQ(counter(main), " You have been reconnected 1 time(s).");

    // Each dialer ends at once with the line down and nothing dialling: a failure, given the probe's
    // few seconds to find the line up. The next comes at the probe's pace, then 5 s doubling.
    sim.ui().advance(4900);
    EXPECT_EQ(dials(), 1u) << "redialled before the probe had its few seconds";
    EXPECT_EQ(toolTip(main), "Dialling since 08:00:01.");
    advanceUntil([&] { return dials() == 6; }, 120'000);
    const std::vector<std::uint32_t> expected{6000, 10'000, 15'000, 25'000, 45'000};
    for (std::size_t i = 1; i < starts.size(); ++i) {
        EXPECT_GE(starts[i] - starts[i - 1], expected[i - 1]) << "gap " << i;
        EXPECT_LE(starts[i] - starts[i - 1], expected[i - 1] + 1000) << "gap " << i;
    }
    sim.ui().advance(600'000);
    EXPECT_LE(dials(), 10u) << "a billed call every few seconds";
    EXPECT_EQ(main.ReconnectCount, static_cast<std::int64_t>(dials()));
    EXPECT_EQ(sim.enterTargets().size(), dials());
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
    sim.ui().advance(8000);
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
    EXPECT_EQ(sim.terminatedProcesses(), std::vector<std::uint32_t>{dialers[0]}) << "left running";
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
    sim.ui().advance(6100);
    EXPECT_EQ(dials(), 2u) << "the confirmed dialer ended with the line down: the next attempt";
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

// A dial under way is never closed, however long it takes. A dialer that then shows nothing for
// 3 minutes is asked to close; one still running 10 s later is ended.
TEST_F(Redial, ADialerIsClosedThreeMinutesAfterItsDialWasLastSeenAndEndedIfItStays) {
    std::vector<std::uint32_t> starts;
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        starts.push_back(sim.ui().nowMs());
        dialers.push_back(pid);
        sim.setWindowVisible(sim.addWindow("Modem", "", sim.spawnProcess(pid)), false);
        dialogs.push_back(sim.addWindow("#32770", "Connecting to Dial 1", pid));
    });
    frmMain& main = startArmed();
    sim.ui().advance(1000);
    ASSERT_EQ(dials(), 1u);
    sim.ui().advance(240'005);  // the dial still under way long after 3 minutes
    EXPECT_TRUE(sim.terminatedProcesses().empty()) << "a dial under way was closed";
    EXPECT_EQ(dials(), 1u);
    const std::uint32_t lastSeen = sim.ui().nowMs();  // just after a look saw it
    sim.removeWindow(dialogs[0]);
    const std::uint32_t ended = advanceUntil([&] { return !sim.terminatedProcesses().empty(); }, 200'000);
    EXPECT_EQ(sim.terminatedProcesses(), std::vector<std::uint32_t>{dialers[0]}) << "left running";
    // 3 minutes from the last look that saw the dial, then 10 s to close.
    EXPECT_GE(ended - lastSeen, 189'000u) << "ended before its 10 s to close";
    EXPECT_LE(ended - lastSeen, 190'000u) << "the limit acted late";
    advanceUntil([&] { return dials() == 2; }, 5000);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_LE(starts[1] - ended, 1100u);
    EXPECT_TRUE(sim.enterTargets().empty());
    EXPECT_EQ(main.ReconnectCount, 2);
    EXPECT_EQ(
        toolTip(main),
        "Last attempt at 08:00:01: the dialer was closed after 3 minutes without a connection. Dialling "
        "again since 08:07:14.");
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

// The resident dial-up helper is nobody's child: its error box after a failed dial is answered like the
// dialer's own, never its progress window, never while the service lists the dial.
TEST_F(Redial, TheDialUpHelpersBoxesAreAnsweredButNeverItsProgress) {
    const std::uint32_t helper = sim.runProgram("rnaapp.exe");
    const std::uint32_t stranger = sim.runProgram("notepad.exe");
    sim.addWindow("#32770", "Save changes?", stranger);
    const WindowHandle helperMain = sim.addWindow("RnaAppClass", "", helper);
    WindowHandle progress = 0;
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        dialers.push_back(pid);
        progress = sim.addWindow("#32770", "Connecting to Dial 1", helper);
        sim.setRasConnections({{"Dial 1", RasState::Dialling}});
        sim.endProcess(pid);  // the dialer hands the dial to the helper
    });
    frmMain& main = startArmed();
    sim.ui().advance(10'000);
    EXPECT_EQ(dials(), 1u) << "redialled while the helper dialled";
    EXPECT_TRUE(sim.enterTargets().empty()) << calls();

    sim.removeWindow(progress);
    const WindowHandle error = sim.addWindow("#32770", "Dial-Up Networking", helper);
    sim.ui().advance(3000);
    EXPECT_TRUE(sim.enterTargets().empty()) << "answered while the service lists the dial";
    sim.setRasConnections({});
    sim.ui().advance(1100);
    EXPECT_EQ(sim.enterTargets(), std::vector<WindowHandle>{error}) << calls();
    sim.removeWindow(error);
    sim.ui().advance(20'000);
    EXPECT_EQ(dials(), 2u);
    EXPECT_TRUE(sim.closedWindows().empty());
    const std::vector<WindowHandle> pressed = sim.enterTargets();
    EXPECT_EQ(std::count(pressed.begin(), pressed.end(), helperMain), 0);
    EXPECT_EQ(main.ReconnectCount, 2);
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
