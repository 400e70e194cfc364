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
    EXPECT_EQ(sim.log().count("CreateProcessA(" + command + ", 0)"), 1u) << calls();
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
    sim.endProcess(dialers[0]);
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

TEST_F(NtRedialPolicy, AWrongPasswordStopsAtOnceWithOneBalloonUntilTheSwitchIsTickedAgain) {
    sim.setRasErrorText(691, "The user name or password was refused.\r\n");
    dialerExits([] { return 691u; });
    frmMain& main = startArmed();
    EXPECT_EQ(toolTip(main), "") << "a tooltip before any attempt";
    sim.ui().advance(20'000);
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_EQ(main.ReconnectCount, 1);
    EXPECT_EQ(main.chckAuto.value(), 1);
    const std::pair<std::string, std::string> balloon{
        "Kestrove",
        "Stopped redialling \"Dial 1\": The user name or password was refused (error 691). Tick Activate? to "
        "try "
        "again."};
    EXPECT_EQ(sim.balloons(), std::vector{balloon});
    EXPECT_EQ(toolTip(main),
              "Last attempt at 08:00:01: The user name or password was refused (error 691). Stopped: tick "
              "Activate? to try again.");
    // The icon's own records keep their first form.
    for (const NotifyIconRecord& record : sim.notifyIconRecords()) EXPECT_EQ(record.cbSize, 88u);

    sim.ui().click(main.chckAuto.native());
    sim.ui().click(main.chckAuto.native());
    sim.ui().advance(1000);
    EXPECT_EQ(starts.size(), 2u);
    sim.ui().advance(10'000);
    EXPECT_EQ(starts.size(), 2u);
    EXPECT_EQ(sim.balloons().size(), 2u) << "one balloon per stop";
}

TEST_F(NtRedialPolicy, NoBalloonWhereTheShellHasNone) {
    sim.setBalloons(false);
    dialerExits([] { return 623u; });  // no such entry
    frmMain& main = startArmed();
    sim.ui().advance(5000);
    EXPECT_EQ(starts.size(), 1u);
    EXPECT_TRUE(sim.balloons().empty());
    EXPECT_EQ(toolTip(main), "Last attempt at 08:00:01: error 623. Stopped: tick Activate? to try again.");
}

TEST_F(NtRedialPolicy, ATransientFailureBacksOffFromOneSecondToFiveMinutesAndNeverGivesUp) {
    dialerExits([] { return 678u; });  // no answer
    frmMain& main = startArmed();
    advanceUntil([&] { return starts.size() == 11; }, 1'400'000);
    expectGaps({0, 5'000, 10'000, 20'000, 40'000, 80'000, 160'000, 300'000, 300'000, 300'000});
    EXPECT_EQ(main.ReconnectCount, 11);
    sim.ui().advance(2000);
    EXPECT_NE(toolTip(main).find(": error 678. Next attempt at 08:"), std::string::npos) << toolTip(main);
}

TEST_F(NtRedialPolicy, TheLineUpInBetweenStartsTheLadderAgain) {
    dialerExits([] { return 678u; });
    startArmed();
    advanceUntil([&] { return starts.size() == 3; }, 20'000);
    expectGaps({0, 5'000});
    sim.setRasConnections({{"Dial 1", RasState::Connected}});
    sim.ui().advance(3000);
    sim.setRasConnections({});
    advanceUntil([&] { return starts.size() == 6; }, 20'000);
    starts.erase(starts.begin(), starts.begin() + 3);
    expectGaps({0, 5'000});
}

TEST_F(NtRedialPolicy, APortInUseIsRetriedEveryThirtySecondsWithoutClimbing) {
    dialerExits([] { return 756u; });  // already being dialled
    startArmed();
    advanceUntil([&] { return starts.size() == 5; }, 130'000);
    expectGaps({30'000, 30'000, 30'000, 30'000});
}

// No exit 3 minutes after its start: asked to hang up the same safe way, ended, and counted as a failure.
TEST_F(NtRedialPolicy, AHungDialerIsStoppedAtThreeMinutes) {
    std::vector<std::uint32_t> dialers;
    sim.onProcessStart([&](const std::string& command, std::uint32_t pid) {
        if (!command.ends_with("/disconnect")) starts.push_back(sim.ui().nowMs()), dialers.push_back(pid);
    });
    frmMain& main = startArmed();
    const std::uint32_t stopped = advanceUntil([&] { return !sim.terminatedProcesses().empty(); }, 200'000);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_GE(stopped - starts[0], 180'000u);
    EXPECT_LE(stopped - starts[0], 181'100u);
    EXPECT_EQ(sim.terminatedProcesses(), std::vector<std::uint32_t>{dialers[0]});
    const std::string hangUp = "\"C:\\WINDOWS\\SYSTEM32\\rasdial.exe\" \"Dial 1\" /disconnect";
    EXPECT_EQ(sim.log().count("CreateProcessA(" + hangUp + ", 0)"), 1u) << calls();
    advanceUntil([&] { return starts.size() == 2; }, 3000);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_LE(starts[1] - stopped, 1100u);
    EXPECT_EQ(main.ReconnectCount, 2) << "the hang-up counted as a dial";
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
