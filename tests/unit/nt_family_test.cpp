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

TEST_F(NtFamily, ProbeAsksTheServiceAndNeverTheRegistry) {
    frmMain& main = startArmed();
    const auto up = [&](std::vector<RasConnection> connections, bool fails = false) {
        sim.setRasConnections(std::move(connections));
        sim.setRasConnectionsFail(fails);
        return main.Connected_To_ISP();
    };
    EXPECT_FALSE(up({}));
    EXPECT_TRUE(up({{"Office", RasState::Connected}}));
    EXPECT_FALSE(up({{"Office", RasState::Dialling}}));
    EXPECT_TRUE(up({{"Office", RasState::Dialling}, {"VPN", RasState::Connected}}));
    EXPECT_FALSE(up({{"Office", RasState::Connected}}, true));
    EXPECT_EQ(sim.log().count("RegOpenKeyA"), 0u) << calls();
}

TEST_F(NtFamily, DialsTheQuotedEntryWithoutADialogToConfirm) {
    frmMain& main = startArmed("My Provider");
    sim.ui().advance(1000);
    ASSERT_EQ(dials(), 1u) << calls();
    EXPECT_EQ(sim.startedCommandLines()[0], "rasdial.exe \"My Provider\"");
    EXPECT_EQ(sim.log().count("CreateProcessA(rasdial.exe \"My Provider\", 0)"), 1u) << calls();
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
    sim.ui().advance(999);
    EXPECT_EQ(dials(), 1u);
    sim.ui().advance(20);
    EXPECT_EQ(dials(), 2u);
}

TEST_F(NtFamily, NoDialWhileTheServiceListsTheEntryDialling) {
    sim.setRasConnections({{"Dial 1", RasState::Dialling}});
    startArmed();
    sim.ui().advance(5000);
    EXPECT_EQ(dials(), 0u) << calls();
    sim.setRasConnections({{"Dial 2", RasState::Dialling}});  // another entry does not hold it back
    sim.ui().advance(1100);
    EXPECT_EQ(dials(), 1u);
}

TEST_F(NtFamily, NineXFamilyKeepsTheFlagAndTheDialerDialog) {
    sim.setFamily(PlatformFamily::Windows9x);
    startArmed();
    sim.ui().advance(1000);
    ASSERT_EQ(dials(), 1u);
    EXPECT_EQ(sim.startedCommandLines()[0], "rundll32.exe rnaui.dll,RnaDial Dial 1");
    EXPECT_EQ(sim.log().count("RasEnumConnectionsA"), 0u) << calls();
    EXPECT_GT(sim.log().count("RegOpenKeyA"), 0u);
}

}  // namespace
}  // namespace kestrove::testing
