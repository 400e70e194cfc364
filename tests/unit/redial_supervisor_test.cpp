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
        sim.setFile(kSettingsPath, kThirteenBytes);
        return start();
    }
    std::size_t dials() const { return sim.startedCommandLines().size(); }
    std::string counter(frmMain& main) const { return native(main.lblLoop).text; }

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

// A dialog that waits for the user (or a dialer that never shows one) holds the redial off for as long
// as that dialer runs; the next attempt comes one probe interval after it has ended.
TEST_F(Redial, ADialerThatNeverConfirmsIsTheOnlyOneUntilItEnds) {
    sim.onEnter([](WindowHandle) {});  // the dialog ignores Enter
    frmMain& main = startArmed();
    sim.ui().advance(60'000);
    EXPECT_EQ(dials(), 1u) << "a second dialer beside the first";
    EXPECT_EQ(sim.enterTargets().size(), 1u);
    EXPECT_EQ(main.ReconnectCount, 1);
    EXPECT_FALSE(main.tmrReconnect.enabled());
    EXPECT_EQ(sim.heldProcesses(), 1u);

    sim.endProcess(dialers[0]);
    sim.ui().advance(10);  // the next watch tick
    EXPECT_EQ(sim.heldProcesses(), 0u) << "the ended dialer's handle is still held";
    sim.ui().advance(989);
    EXPECT_EQ(dials(), 1u);
    sim.ui().advance(20);
    EXPECT_EQ(dials(), 2u);

    sim.onProcessStart([&](const std::string&, std::uint32_t pid) { dialers.push_back(pid); });  // no window
    sim.endProcess(dialers[1]);
    sim.ui().advance(60'000);
    EXPECT_EQ(dials(), 3u);
    EXPECT_EQ(sim.enterTargets().size(), 2u);
}

TEST_F(Redial, ADialerThatQuitsAtOnceIsRetriedAtTheProbesPace) {
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) { sim.endProcess(pid); });
    frmMain& main = startArmed();
    sim.ui().advance(5000);
    EXPECT_EQ(dials(), 5u) << calls();
    EXPECT_TRUE(sim.enterTargets().empty());
    EXPECT_EQ(main.ReconnectCount, 5);
}

TEST_F(Redial, CounterKeepsCountingPast32767) {
    frmMain& main = startArmed();
    main.ReconnectCount = 32767;
    sim.ui().advance(1000);
    EXPECT_EQ(counter(main), " You have been reconnected 32768 time(s).");
}

}  // namespace
}  // namespace kestrove::testing
