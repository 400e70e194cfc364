// On the NT family the keeper asks the dial-up service instead of the registry flag and dials with the
// system's command-line dialer; everything else behaves as on the 9x family.
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
