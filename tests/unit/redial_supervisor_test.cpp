// Keeping the connection alive: one attempt per second while down, none while the dialer's progress
// window is open or the switch is off, Enter only for the dialer just started.
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
        // Like the real dialer: its dialog comes up active at once.
        sim.onProcessStart([this](const std::string&, std::uint32_t pid) {
            dialogs.push_back(sim.addWindow("#32770", "Dial-up", pid));
            sim.setForeground(dialogs.back());
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

TEST_F(Redial, EnterIsWithheldWhenAnotherProgramsWindowIsActive) {
    const WindowHandle other = sim.addWindow("#32770", "Delete all files?", 4242);
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        sim.addWindow("#32770", "Dial-up", pid);  // comes up, but another window stays active
        sim.setForeground(other);
    });
    frmMain& main = startArmed();
    sim.ui().advance(1000);
    EXPECT_EQ(dials(), 1u);
    EXPECT_TRUE(sim.enterTargets().empty()) << calls();
    EXPECT_EQ(main.ReconnectCount, 1);  // the attempt still counts
    EXPECT_EQ(counter(main), " You have been reconnected 1 time(s).");
}

TEST_F(Redial, EnterWaitsForTheDialerWindowThatComesUpLate) {
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        const WindowHandle late = sim.addWindow("#32770", "Dial-up", pid);
        sim.ui().post([this, late] { sim.setForeground(late); });
    });
    startArmed();
    sim.ui().advance(1000);
    EXPECT_EQ(sim.enterTargets().size(), 1u) << calls();
}

TEST_F(Redial, AFailedDialerStartSendsNothingButCounts) {
    sim.setProcessStartFails(true);
    frmMain& main = startArmed();
    sim.ui().advance(2000);
    EXPECT_EQ(sim.log().count("SendEnter"), 0u) << calls();
    EXPECT_EQ(main.ReconnectCount, 2);
}

TEST_F(Redial, WaitingForASlowDialerNeverStartsASecondOne) {
    sim.onProcessStart([](const std::string&, std::uint32_t) {});  // no window ever comes up
    frmMain& main = startArmed();
    sim.ui().advance(1000);  // the tick waits its full bound, letting timer ticks run meanwhile
    EXPECT_EQ(dials(), 1u) << calls();
    EXPECT_EQ(main.ReconnectCount, 1);
    EXPECT_TRUE(sim.enterTargets().empty());
}

TEST_F(Redial, CounterKeepsCountingPast32767) {
    frmMain& main = startArmed();
    main.ReconnectCount = 32767;
    sim.ui().advance(1000);
    EXPECT_EQ(counter(main), " You have been reconnected 32768 time(s).");
}

}  // namespace
}  // namespace kestrove::testing
