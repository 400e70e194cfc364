// What the desktop may do to a running keeper: end the session or only ask to, leave a huge settings
// file behind, run another copy this start may not look at.
#include <gtest/gtest.h>

#include <string>

#include "KestroveFixture.h"
#include "platform/win32/KeeperMutex.h"
#include "ui/frmAbout.h"

namespace kestrove::testing {
namespace {

const std::string kArmedSettings = "\"Dial 1\"\r\n1\r\n";

class DesktopFaults : public KestroveTest {
  protected:
    DesktopFaults() {
        sim.setPhoneBook({"Dial 1"});
        sim.setRegistryValue("System\\CurrentControlSet\\Services\\RemoteAccess", "Remote Connection",
                             {0, 0, 0, 0});  // the line is down
    }
};

TEST_F(DesktopFaults, AnEndingSessionEndsTheProgramWithItsIconAndSavesNothing) {
    sim.setFile(kSettingsPath, kArmedSettings);
    start();
    app.form<frmAbout>(sim.platform()).show();
    ASSERT_TRUE(sim.trayIconPresent());
    sim.log().clear();

    sim.ui().endSession(true);
    sim.ui().doEvents();
    EXPECT_TRUE(app.loadedForms().empty());
    EXPECT_FALSE(sim.trayIconPresent());
    EXPECT_TRUE(sim.ui().quitRequested());
    EXPECT_EQ(sim.log().count("WriteFile"), 0u) << calls();
    EXPECT_EQ(settings(), kArmedSettings);
    EXPECT_TRUE(sim.startedCommandLines().empty()) << calls();
}

// A close request the program survives (the Restart Manager's, never followed by word of how it went)
// leaves the keeper as it was, after a while.
TEST_F(DesktopFaults, ASurvivedCloseRequestLeavesTheRedialArmed) {
    sim.setFile(kSettingsPath, kArmedSettings);
    frmMain& main = start();
    sim.ui().queryEndSession();
    sim.ui().advance(10'000);
    EXPECT_TRUE(sim.startedCommandLines().empty()) << "a dialer while the session may end";
    sim.ui().advance(25'000);
    EXPECT_EQ(sim.startedCommandLines().size(), 1u) << "the redial stayed off\n" << calls();
    EXPECT_TRUE(main.loaded());
    EXPECT_TRUE(sim.trayIconPresent());
}

// The reader looks at the first few kilobytes only: a huge file reads as if it ended there.
TEST_F(DesktopFaults, AHugeSettingsFileReadsItsFirstFields) {
    sim.setFile(kSettingsPath, kArmedSettings + std::string(8 << 20, 'x'));
    frmMain& main = start();
    EXPECT_EQ(main.Combo1.text(), "Dial 1");
    EXPECT_EQ(main.chckAuto.value(), 1);
    EXPECT_FALSE(main.visible());
}

TEST_F(DesktopFaults, WhatLiesPastTheFirstKilobytesIsNotRead) {
    const std::string file = "\"Dial 1\"\r\n" + std::string(5000, ' ') + "1\r\n";
    sim.setFile(kSettingsPath, file);
    frmMain& main = start();
    EXPECT_EQ(main.Combo1.text(), "Dial 1");
    EXPECT_EQ(main.chckAuto.value(), 0);
    EXPECT_TRUE(main.visible());
    EXPECT_EQ(settings(), file);
}

// The user types into the combo box while the redial waits for its dialer: the dial goes on with the
// entry it started with.
TEST_F(DesktopFaults, TypingWhileTheDialerStartsLeavesTheDialAsItWas) {
    const std::string entry = "Dial-up to the provider";
    sim.setPhoneBook({entry});
    sim.setFile(kSettingsPath, "\"" + entry + "\"\r\n1\r\n");
    frmMain& main = start();
    sim.onProcessStart([&](const std::string&, std::uint32_t pid) {
        sim.addWindow("#32770", "Dial-up", pid);
        sim.ui().type(main.Combo1.native(), std::string(300, 'y'));  // longer: the text moves in memory
    });
    sim.ui().advance(1500);
    ASSERT_EQ(sim.startedCommandLines().size(), 1u) << calls();
    EXPECT_TRUE(sim.startedCommandLines()[0].ends_with(",RnaDial " + entry)) << sim.startedCommandLines()[0];
    EXPECT_EQ(sim.enterTargets().size(), 1u) << "the dialog went unanswered";
    EXPECT_EQ(main.Combo1.text(), std::string(300, 'y'));
}

TEST(KeeperMutex, ARefusedOpenIsAnotherCopyAndOnlyAnUnusableNameIsTriedAgain) {
    using namespace win32;
    struct Case {
        const char* what;
        bool made;
        std::uint32_t error;
        bool another;
        bool retry;
    };
    const Case cases[] = {
        {"created", true, 0, false, false},
        {"already there", true, kErrorAlreadyExists, true, false},
        {"made by an elevated copy", false, kErrorAccessDenied, true, false},
        {"the name is refused", false, 123, false, true},
    };
    for (const Case& c : cases) {
        const MutexAnswer answer = mutexAnswer(c.made, c.error);
        EXPECT_EQ(anotherCopyRuns(answer), c.another) << c.what;
        EXPECT_EQ(tryAnotherName(answer), c.retry) << c.what;
    }
}

}  // namespace
}  // namespace kestrove::testing
