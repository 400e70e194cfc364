// On the NT family the keeper asks the dial-up service instead of the registry flag and dials with the
// system's command-line dialer; everything else behaves as on the 9x family.
#include <algorithm>
#include <functional>

#include "KestroveFixture.h"
#include "keeper/NtDialUp.h"

namespace kestrove::testing {
namespace {

class NtFamily : public KestroveTest {
  protected:
    NtFamily() { sim.setFamily(PlatformFamily::WindowsNT); }
    frmMain& startArmed(const std::string& entry = "Dial 1") {
        sim.setFile(kSettingsPath, "\"" + entry + "\"\r\n1\r\n");
        return start();
    }
    std::size_t dials() const { return sim.startedCommandLines().size(); }
};

// Up only while the chosen entry is connected, its name compared as the service compares entry names.
TEST_F(NtFamily, ProbeAsksTheServiceForTheChosenEntryOnly) {
    frmMain& main = startArmed("Caf\xE9 1");  // CP1252
    const auto up = [&](std::vector<RasConnection> connections, bool fails = false) {
        sim.setRasConnections(std::move(connections));
        sim.setRasConnectionsFail(fails);
        return main.Connected_To_ISP();
    };
    EXPECT_FALSE(up({}));
    EXPECT_TRUE(up({{"Caf\xE9 1", RasState::Connected}}));
    EXPECT_TRUE(up({{"VPN", RasState::Connected}, {"CAF\xC9 1", RasState::Connected}}));
    EXPECT_FALSE(up({{"Caf\xE9 1", RasState::Dialling}}));
    EXPECT_TRUE(up({{"Caf\xE9 1", RasState::Dialling}, {"Caf\xE9 1", RasState::Connected}}));
    EXPECT_FALSE(up({{"Caf\xE9 1", RasState::Disconnected}}));
    EXPECT_FALSE(up({{"VPN", RasState::Connected}, {"Caf\xE9 1 ", RasState::Connected}}));
    EXPECT_FALSE(up({{"Caf\xE9 1", RasState::Connected}}, true));
    EXPECT_EQ(sim.log().count("RegOpenKeyA"), 0u) << calls();
}

TEST_F(NtFamily, DialsTheSystemsDialerByItsFullPathWithoutADialogToConfirm) {
    sim.setSystemDirectory("C:\\Program Files\\System");
    frmMain& main = startArmed("My Provider");
    sim.ui().advance(1000);
    ASSERT_EQ(dials(), 1u) << calls();
    const std::string command = "\"C:\\Program Files\\System\\rasdial.exe\" \"My Provider\"";
    EXPECT_EQ(sim.startedCommandLines()[0], command);
    // A console program: no console window may flash up, whatever the system's default terminal.
    EXPECT_EQ(sim.log().count("CreateProcessA(" + command + ", 0, CREATE_NO_WINDOW)"), 1u) << calls();
    EXPECT_TRUE(sim.enterTargets().empty());
    EXPECT_EQ(main.ReconnectCount, 1);
    EXPECT_EQ(native(main.lblLoop).text, " You have been reconnected 1 time(s).");
}

TEST_F(NtFamily, NoSecondDialWhileTheStartedDialerRuns) {
    std::vector<std::uint32_t> dialers;
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) { dialers.push_back(pid); });
    startArmed();
    sim.ui().advance(1000);
    ASSERT_EQ(dials(), 1u);
    sim.ui().advance(10'000);
    EXPECT_EQ(dials(), 1u) << "dialled again while the dialer ran";
    sim.endProcess(dialers[0], 678);
    sim.ui().advance(10);
    EXPECT_EQ(sim.heldProcesses(), 0u);
    sim.ui().advance(989);
    EXPECT_EQ(dials(), 1u);
    sim.ui().advance(20);
    EXPECT_EQ(dials(), 2u);
}

// Asked once per probe, never by the watch that runs on every timer tick.
TEST_F(NtFamily, NoDialWhileTheServiceListsTheEntryDialling) {
    sim.setRasConnections({{"Dial 1", RasState::Dialling}});
    startArmed();
    sim.ui().advance(5000);
    EXPECT_EQ(dials(), 0u) << calls();
    EXPECT_EQ(sim.log().count("RasEnumConnectionsA"), 5u) << calls();
    sim.setRasConnections({{"Dial 2", RasState::Dialling}});  // another entry does not hold it back
    sim.ui().advance(1100);
    EXPECT_EQ(dials(), 1u);
}

// Listed, but over: a connection that has hung up, or whose dial has failed, is no dial under way.
TEST_F(NtFamily, AnEndedOrFailedConnectionDoesNotHoldTheRedialOff) {
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) { sim.endProcess(pid, 678); });
    sim.setRasConnections({{"Dial 1", RasState::Disconnected}});
    startArmed();
    sim.ui().advance(1000);
    EXPECT_EQ(dials(), 1u) << calls();
    sim.setRasConnections({{"Dial 1", RasState::Dialling, 678}});
    sim.ui().advance(1000);
    EXPECT_EQ(dials(), 2u) << calls();
}

// The dialer's exit code is the attempt's result; it decides when the next one comes, or that none does
// until the user acts.
class NtRedialPolicy : public NtFamily {
  protected:
    // Every dial (not a hang-up) exits at once with the code result() gives.
    void dialerExits(std::function<std::uint32_t()> result) {
        sim.onProcessStart([this, result](const std::string& command, std::uint32_t pid) {
            if (command.ends_with("/disconnect")) return;
            starts.push_back(sim.ui().nowMs());
            sim.endProcess(pid, result());
        });
    }
    std::vector<std::uint32_t> gaps() const {
        std::vector<std::uint32_t> between;
        for (std::size_t i = 1; i < starts.size(); ++i) between.push_back(starts[i] - starts[i - 1]);
        return between;
    }
    // Each gap is the hold after its failure, plus at most the probe's second.
    void expectGaps(const std::vector<std::uint32_t>& holds) const {
        const std::vector<std::uint32_t> measured = gaps();
        ASSERT_GE(measured.size(), holds.size());
        for (std::size_t i = 0; i < holds.size(); ++i) {
            EXPECT_GE(measured[i], std::max(holds[i], 1000u)) << "gap " << i;
            EXPECT_LE(measured[i], holds[i] + 1100u) << "gap " << i;
        }
    }
    std::string toolTip(frmMain& main) const { return native(main.lblLoop).desc.toolTip; }
    std::vector<std::uint32_t> starts;
};

// Told at once, then slowed rather than stopped: a stale session or a password mended outside the
// program gets a connection without anyone at the machine.
TEST_F(NtRedialPolicy, AWrongPasswordSlowsToFifteenThirtyThenSixtyMinutesUntilTheUserActs) {
    sim.setRasErrorText(691, "The user name or password was refused.\r\n");
    std::vector<std::uint32_t> dialers;
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        starts.push_back(sim.ui().nowMs());
        dialers.push_back(pid);
    });
    frmMain& main = startArmed();
    EXPECT_EQ(toolTip(main), "") << "a tooltip before any attempt";
    sim.ui().advance(1500);
    sim.endProcess(dialers[0], 691);  // refused half a second into the second
    sim.ui().advance(20'000);
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(main.ReconnectCount, 1);
    EXPECT_EQ(main.chckAuto.value(), 1);
    const std::pair<std::string, std::string> balloon{"Kestrove",
                                                      "Redialling \"Dial 1\" slowed down: The user name or "
                                                      "password was refused (error 691). Next attempt at "
                                                      "08:15:02; tick Activate? to try now."};
    EXPECT_EQ(sim.balloons(), std::vector{balloon});
    EXPECT_EQ(toolTip(main),
              "Last attempt at 08:00:01: The user name or password was refused (error 691). Next attempt at "
              "08:15:02; tick Activate? to try now.");
    // The icon's own records keep their first form.
    for (const NotifyIconRecord& record : sim.notifyIconRecords()) EXPECT_EQ(record.cbSize, 88u);

    dialerExits([] { return 691u; });
    sim.ui().sleepMachine(600'000);  // the slow pace is kept across a sleep
    sim.ui().advance(1000);
    EXPECT_EQ(starts.size(), 1u) << "a sleep ended the slow pace";
    advanceUntil([&] { return starts.size() == 5; }, 3 * 3'600'000);
    ASSERT_EQ(starts.size(), 5u);
    EXPECT_GE(starts[1], 901'510u);
    EXPECT_LT(starts[1], 903'000u) << "not by the time the user was told";
    starts.erase(starts.begin());
    expectGaps({1'800'000, 3'600'000, 3'600'000});
    EXPECT_EQ(sim.balloons().size(), 1u) << "one balloon while slowed";

    sim.ui().click(main.chckAuto.native());
    sim.ui().advance(10);
    EXPECT_EQ(toolTip(main).substr(toolTip(main).find(". ") + 2), "Activate? is off: no redial.");
    sim.ui().click(main.chckAuto.native());
    sim.ui().advance(1000);
    EXPECT_EQ(starts.size(), 5u) << "ticking Activate? left the slow pace in place";
    sim.ui().advance(100);
    EXPECT_EQ(sim.balloons().size(), 2u) << "one balloon each time it slows down";

    // Found up, the slow pace is over too: after the next drop the redial is back at the probe's pace.
    sim.setRasConnections({{"Dial 1", RasState::Connected}});
    sim.ui().advance(2000);
    sim.setRasConnections({});
    sim.ui().advance(1000);
    EXPECT_EQ(starts.size(), 6u) << "the line up left the slow pace in place";
}

TEST_F(NtRedialPolicy, ATransientFailureBacksOffFromOneSecondToFiveMinutesAndNeverGivesUp) {
    dialerExits([] { return 678u; });  // no answer
    frmMain& main = startArmed();
    advanceUntil([&] { return starts.size() == 11; }, 1'400'000);
    expectGaps({0, 5'000, 10'000, 20'000, 40'000, 80'000, 160'000, 300'000, 300'000, 300'000});
    EXPECT_EQ(main.ReconnectCount, 11);
    sim.ui().advance(2000);
    EXPECT_NE(toolTip(main).find(": error 678. Next attempt at 08:"), std::string::npos) << toolTip(main);

    // The machine sleeps, four minutes into a 5-minute hold: it dials the moment it wakes.
    sim.ui().advance(238'000);
    sim.ui().sleepMachine(20'500);
    const std::uint32_t woke = sim.ui().nowMs();
    ASSERT_EQ(starts.size(), 12u);
    EXPECT_EQ(starts[11], woke);

    // Unticked, nothing is promised; ticked again, the hold is over.
    sim.ui().advance(2000);
    sim.ui().click(main.chckAuto.native());
    sim.ui().advance(10);
    EXPECT_EQ(toolTip(main).find("Next attempt"), std::string::npos) << toolTip(main);
    sim.ui().click(main.chckAuto.native());
    sim.ui().advance(1000);
    EXPECT_EQ(starts.size(), 13u) << "ticking Activate? left the hold in place";
}

TEST_F(NtRedialPolicy, TheLineUpInBetweenStartsTheLadderAgain) {
    dialerExits([] { return 678u; });
    startArmed();
    advanceUntil([&] { return starts.size() == 3; }, 20'000);
    expectGaps({0, 5'000});
    sim.setRasConnections({{"Dial 1", RasState::Connected}});
    sim.ui().advance(3000);
    sim.setRasConnections({});
    const std::uint32_t down = sim.ui().nowMs();
    advanceUntil([&] { return starts.size() == 6; }, 20'000);
    EXPECT_LE(starts[3] - down, 1000u) << "the hold outlived the line up";
    starts.erase(starts.begin(), starts.begin() + 3);
    expectGaps({0, 5'000});
}

// Exit 0 is the service's word; the entry found up makes it a connection. Accepted and dropped at once,
// the dials climb the ladder like any failure.
TEST_F(NtRedialPolicy, AnExitZeroCountsOnlyWithTheEntryFoundUp) {
    dialerExits([] { return 0u; });
    frmMain& main = startArmed();
    advanceUntil([&] { return starts.size() == 4; }, 60'000);
    expectGaps({6'000, 11'000, 16'000});  // the probe's few seconds, then the ladder
    EXPECT_NE(toolTip(main).find(": the dialer said connected, but the line stayed down. "),
              std::string::npos)
        << toolTip(main);

    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        starts.push_back(sim.ui().nowMs());
        sim.setRasConnections({{"Dial 1", RasState::Connected}});
        sim.endProcess(pid, 0);
    });
    advanceUntil([&] { return starts.size() == 5; }, 60'000);
    advanceUntil([&] { return toolTip(main).starts_with("Last attempt at 08:01:01"); }, 3000);
    EXPECT_EQ(toolTip(main), "Last attempt at 08:01:01: connected. The line is up.");
    sim.setRasConnections({});
    sim.ui().advance(1000);
    EXPECT_EQ(starts.size(), 6u) << "the connection counted as a failure";
}

TEST_F(NtRedialPolicy, APortInUseIsRetriedEveryThirtySecondsWithoutClimbing) {
    dialerExits([] { return 756u; });  // already being dialled
    startArmed();
    advanceUntil([&] { return starts.size() == 5; }, 130'000);
    expectGaps({30'000, 30'000, 30'000, 30'000});
}

// No exit 3 minutes after its start: the probe looks first; down, the dial is hung up the same safe way,
// and only once the hang-up has ended is the dialer ended. Counted as a failure. The time the machine
// slept does not count.
TEST_F(NtRedialPolicy, AHungDialerIsHungUpThenEndedAtThreeMinutesAwake) {
    std::vector<std::uint32_t> dialers, hangUps;
    std::vector<bool> dialerLeftToHangUp;
    sim.onProcessStart([&](const std::string& command, std::uint32_t pid) {
        if (!command.ends_with("/disconnect"))
            return starts.push_back(sim.ui().nowMs()), dialers.push_back(pid);
        hangUps.push_back(pid);
        dialerLeftToHangUp.push_back(sim.terminatedProcesses().empty());
    });
    frmMain& main = startArmed();
    sim.ui().advance(60'000);
    sim.ui().sleepMachine(3'600'000);
    const std::uint32_t woke = sim.ui().nowMs();
    sim.ui().advance(1000);
    EXPECT_TRUE(hangUps.empty()) << "judged hung by the time it slept";
    const std::uint32_t hungUp = advanceUntil([&] { return !hangUps.empty(); }, 200'000);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_GE(hungUp - woke, 180'000u);
    EXPECT_LE(hungUp - woke, 180'010u) << "the limit acted late";
    EXPECT_EQ(dialerLeftToHangUp, std::vector<bool>{true}) << "ended before it was asked to hang up";
    const std::string hangUp = "\"C:\\WINDOWS\\SYSTEM32\\rasdial.exe\" \"Dial 1\" /disconnect";
    EXPECT_EQ(sim.log().count("CreateProcessA(" + hangUp + ", 0, CREATE_NO_WINDOW)"), 1u) << calls();
    sim.ui().advance(3000);
    EXPECT_TRUE(sim.terminatedProcesses().empty()) << "ended while its hang-up ran";
    EXPECT_EQ(starts.size(), 1u) << "dialled while the hang-up ran";
    sim.endProcess(hangUps[0]);
    const std::uint32_t stopped = advanceUntil([&] { return !sim.terminatedProcesses().empty(); }, 2000);
    EXPECT_EQ(sim.terminatedProcesses(), std::vector<std::uint32_t>{dialers[0]});
    advanceUntil([&] { return starts.size() == 2; }, 3000);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_LE(starts[1] - stopped, 1100u);
    EXPECT_EQ(main.ReconnectCount, 2) << "the hang-up counted as a dial";

    // Up by the time the limit comes: a connection, and the stuck dialer is only let go.
    sim.ui().advance(170'000);
    sim.setRasConnections({{"Dial 1", RasState::Connected}});
    sim.ui().advance(15'000);
    EXPECT_EQ(hangUps.size(), 1u);
    EXPECT_EQ(sim.terminatedProcesses().size(), 1u);
    EXPECT_EQ(sim.heldProcesses(), 0u);
    EXPECT_NE(toolTip(main).find(": connected. The line is up."), std::string::npos) << toolTip(main);
}

// Whatever the name holds, the dialer's command-line parsing (backslashes count only before a quote)
// hands it over as exactly one argument.
TEST(NtDialerCommand, TheEntryIsQuotedIntoExactlyOneArgument) {
    using keeper::quoteArgument;
    EXPECT_EQ(quoteArgument("My Provider"), R"("My Provider")");
    EXPECT_EQ(quoteArgument(R"(Dial" /PHONE:5550100 "1)"), R"("Dial\" /PHONE:5550100 \"1")");
    EXPECT_EQ(quoteArgument(R"(Back\"slash)"), R"("Back\\\"slash")");
    EXPECT_EQ(quoteArgument(R"(Trailing\)"), R"("Trailing\\")");
    EXPECT_EQ(quoteArgument(R"(a\b\\c)"), R"("a\b\\c")");
    EXPECT_EQ(quoteArgument(""), R"("")");
    EXPECT_EQ(quoteArgument(std::string_view("a\0b", 3)), std::nullopt);

    EXPECT_EQ(keeper::rasdialCommand(R"(C:\)", "x"), R"("C:\rasdial.exe" "x")");
    EXPECT_EQ(keeper::rasdialCommand("", "x"), std::nullopt);  // never by bare name
    EXPECT_EQ(keeper::rasdialCommand("C:\\W", std::string_view("a\0b", 3)), std::nullopt);
}

TEST_F(NtFamily, NineXFamilyKeepsTheFlagAndTheDialerDialog) {
    sim.setFamily(PlatformFamily::Windows9x);
    startArmed();
    sim.ui().advance(1000);
    ASSERT_EQ(dials(), 1u);
    EXPECT_EQ(sim.startedCommandLines()[0], "rundll32.exe rnaui.dll,RnaDial Dial 1");
    EXPECT_EQ(sim.log().count("RasEnumConnectionsA"), 1u) << "once per redial, before the start";
    EXPECT_GT(sim.log().count("RegOpenKeyA"), 0u);
}

}  // namespace
}  // namespace kestrove::testing
