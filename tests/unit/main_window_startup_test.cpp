// Start-up of the main window: settings, switch, phone book and combo text, step by step.
#include "KestroveFixture.h"

namespace kestrove::testing {
namespace {

using StartUp = KestroveTest;

TEST_F(StartUp, FirstRunShowsTheWindowWithTheEntriesAndWritesNothing) {
    sim.setPhoneBook({"Work", "Home"});
    frmMain& main = start();

    EXPECT_TRUE(main.visible());
    EXPECT_EQ(sim.ui().form(main.native())->focus, main.chckAuto.native());
    EXPECT_EQ(main.chckAuto.value(), 0);
    EXPECT_EQ(main.Combo1.text(), "");
    EXPECT_EQ(main.Combo1.list(), (std::vector<std::string>{"Work", "Home"}));
    EXPECT_EQ(native(main.lblLoop).text, " You have been reconnected 0 times.");
    EXPECT_FALSE(main.tmrReconnect.enabled());
    EXPECT_FALSE(main.lblAuthor.visible());
    EXPECT_EQ(settings(), std::nullopt);
    EXPECT_EQ(sim.log().count("WriteFile"), 0u) << calls();
}

TEST_F(StartUp, SavedSwitchHidesToTheTrayAndRewritesTheSameBytes) {
    sim.setFile(kSettingsPath, kArmedSettings);
    sim.setPhoneBook({"Dial 1", "Dial 2"});
    frmMain& main = start();

    EXPECT_EQ(main.chckAuto.value(), 1);
    EXPECT_EQ(main.Combo1.text(), "Dial 1");
    EXPECT_TRUE(main.tmrReconnect.enabled());
    EXPECT_FALSE(main.visible());
    EXPECT_TRUE(sim.trayIconPresent());
    EXPECT_EQ(settings(), kArmedSettings);
    EXPECT_EQ(sim.log().count("WriteFile"), 1u) << calls();
}

TEST_F(StartUp, ATaskbarStillStartingTakesTheIconOnARetryAndTheWindowNeverShows) {
    sim.setFile(kSettingsPath, kArmedSettings);
    sim.setNotifyIconFails(true);
    frmMain& main = start();
    EXPECT_FALSE(main.visible());
    sim.ui().advance(3000);
    sim.setNotifyIconFails(false);
    sim.ui().advance(1000);
    EXPECT_TRUE(sim.trayIconPresent());
    sim.log().clear();
    sim.ui().advance(30'000);
    EXPECT_FALSE(main.visible());
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA"), 0u) << "kept retrying\n" << calls();
    EXPECT_EQ(sim.log().count("ShowWindow(frmMain, show)"), 0u) << calls();
}

TEST_F(StartUp, NoDialerWhileTheSessionMayEndAndAgainWhenItGoesOn) {
    sim.setRegistryValue("System\\CurrentControlSet\\Services\\RemoteAccess", "Remote Connection",
                         {0, 0, 0, 0});
    sim.setFile(kSettingsPath, kArmedSettings);
    start();
    sim.ui().queryEndSession();
    sim.ui().advance(5000);
    EXPECT_TRUE(sim.startedCommandLines().empty()) << calls();
    sim.ui().endSession(false);  // another program refused, the session goes on
    sim.ui().advance(1000);
    EXPECT_EQ(sim.startedCommandLines().size(), 1u) << calls();
}

TEST_F(StartUp, SwitchHandlingRunsInsideTheLoadBeforeTheListIsFilled) {
    sim.setFile(kSettingsPath, kArmedSettings);
    sim.setPhoneBook({"Dial 1"});
    start();

    const auto& log = sim.log().calls();
    const auto write =
        std::find_if(log.begin(), log.end(), [](auto& c) { return c.starts_with("WriteFile"); });
    const auto enumerate =
        std::find_if(log.begin(), log.end(), [](auto& c) { return c.starts_with("RasEnumEntriesA"); });
    ASSERT_NE(write, log.end()) << calls();
    ASSERT_NE(enumerate, log.end()) << calls();
    EXPECT_LT(write - log.begin(), enumerate - log.begin()) << calls();
}

TEST_F(StartUp, EmptyFirstLineWithSwitchOnGivesAnEmptyComboText) {
    sim.setFile(kSettingsPath, "\r\n1\r\n");
    frmMain& main = start();
    EXPECT_EQ(main.chckAuto.value(), 1);
    EXPECT_EQ(main.Combo1.text(), "");
    EXPECT_EQ(settings(), "\r\n1\r\n");
}

TEST_F(StartUp, GreyedSwitchIsOffShownAndWrittenBackAsTwo) {
    sim.setFile(kSettingsPath, "\"A\"\r\n2\r\n");
    frmMain& main = start();
    EXPECT_EQ(main.chckAuto.value(), 2);
    EXPECT_EQ(native(main.chckAuto).check, 2);
    EXPECT_FALSE(main.tmrReconnect.enabled());
    EXPECT_TRUE(main.visible());
    EXPECT_EQ(settings(), "\"A\"\r\n2\r\n");
    EXPECT_EQ(sim.log().count("WriteFile"), 1u) << calls();
}

TEST_F(StartUp, OutOfRangeOrNonNumericSwitchLeavesItOffAndRewritesNothing) {
    for (const std::string value : {"5", "-1", "x"}) {
        SCOPED_TRACE(value);
        sim::SimPlatform fresh;
        forms::Application freshApp(fresh.ui());
        const std::string file = "\"A\"\r\n" + value + "\r\n";
        fresh.setFile(kSettingsPath, file);
        frmMain& main = freshApp.form<frmMain>(fresh.platform());
        main.show();
        EXPECT_EQ(main.chckAuto.value(), 0);
        EXPECT_EQ(main.Combo1.text(), "A");
        EXPECT_TRUE(main.visible());
        EXPECT_EQ(fresh.file(kSettingsPath), file);
        EXPECT_EQ(fresh.log().count("WriteFile"), 0u) << fresh.log().dump();
    }
}

TEST_F(StartUp, SavedNameNotInThePhoneBookIsShownAllTheSame) {
    sim.setFile(kSettingsPath, "\"Gone\"\r\n0\r\n");
    sim.setPhoneBook({"Work"});
    frmMain& main = start();
    EXPECT_EQ(main.Combo1.text(), "Gone");
    EXPECT_EQ(main.Combo1.list(), std::vector<std::string>{"Work"});
}

TEST_F(StartUp, FailingStepsAreSkippedAndTheRestStillRuns) {
    // An empty phone book and a missing dial-up service both fail the enumeration step only.
    for (const bool missing : {false, true}) {
        SCOPED_TRACE(missing ? "service missing" : "empty phone book");
        sim::SimPlatform fresh;
        forms::Application freshApp(fresh.ui());
        fresh.setFile(kSettingsPath, "\"A\"\r\n0\r\n");
        fresh.setPhoneBook({});
        fresh.setPhoneBookMissing(missing);
        frmMain& main = freshApp.form<frmMain>(fresh.platform());
        main.show();
        EXPECT_TRUE(main.Combo1.list().empty());
        EXPECT_EQ(main.Combo1.text(), "A");
        EXPECT_TRUE(main.visible());
        EXPECT_EQ(freshApp.unhandledErrors(), 0u);
    }
}

TEST_F(StartUp, ClosingTheOnlyWindowEndsTheProgram) {
    frmMain& main = start();
    sim.ui().closeForm(main.native());
    sim.ui().doEvents();
    EXPECT_TRUE(app.loadedForms().empty());
    EXPECT_TRUE(sim.ui().quitRequested());
    EXPECT_EQ(settings(), std::nullopt);  // nothing is saved at exit
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA"), 0u) << "released an icon never added\n" << calls();
    EXPECT_EQ(sim.log().count("SetWindowLongPtrA"), 0u) << calls();
}

TEST_F(StartUp, MouseOverTheWindowKeepsTheAuthorLabelHidden) {
    frmMain& main = start();
    sim.ui().moveOverForm(main.native());
    sim.ui().doEvents();
    EXPECT_FALSE(main.lblAuthor.visible());
    EXPECT_FALSE(native(main.lblAuthor).desc.visible);
}

}  // namespace
}  // namespace kestrove::testing
