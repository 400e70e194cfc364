// Living in the notification area: hiding behind the icon, the hook, the menu, the zoom.
#include "KestroveFixture.h"
#include "platform/sim/CallFormat.h"
#include "platform/sim/SimShell.h"
#include "tray/basMain.h"

namespace kestrove::testing {
namespace {

constexpr std::uint32_t kTrayMessage = 1039;

class Tray : public KestroveTest {
  protected:
    Tray() {
        taskbar = sim.addWindow("Shell_TrayWnd", "");
        sim.addWindow("Button", "Start", 0, taskbar);
        notifyArea = sim.addWindow("TrayNotifyWnd", "", 0, taskbar);
        sim.setWindowRect(notifyArea, {900, 740, 1020, 768});
    }
    frmMain& startShown() {
        sim.setFile(kSettingsPath, "\"Dial 1\"\r\n0\r\n");
        return start();
    }
    void hide(frmMain& main) {
        sim.ui().click(main.cmdMinTray.native());
        sim.ui().doEvents();
    }
    MessageResult trayMessage(frmMain& main, std::intptr_t mouse, std::uintptr_t id = 0) {
        return sim.sendMessage(main.hWnd(), kTrayMessage, id != 0 ? id : sim.instance(), mouse);
    }
    // Where the first call starting with prefix is in the record; fails the test when there is none.
    std::size_t firstCall(const std::string& prefix) {
        const auto& log = sim.log().calls();
        const auto it =
            std::find_if(log.begin(), log.end(), [&](const std::string& c) { return c.starts_with(prefix); });
        EXPECT_NE(it, log.end()) << "no " << prefix << "\n" << calls();
        return static_cast<std::size_t>(it - log.begin());
    }
    // The zooms drawn, as "(from) -> (to)" rectangles.
    std::vector<std::string> zooms() const {
        std::vector<std::string> drawn;
        for (const std::string& call : sim.log().calls()) {
            if (!call.starts_with("DrawAnimatedRects")) continue;
            const auto from = call.find('(', call.find(", 3, "));
            const auto to = call.find('(', call.find(')', from));
            drawn.push_back(call.substr(from, call.find(')', from) + 1 - from) + " -> " +
                            call.substr(to, call.find(')', to) + 1 - to));
        }
        return drawn;
    }
    bool hooked(frmMain& main) {  // a tray message reaches the hook, which passes it on
        const std::size_t before = sim.log().count("CallWindowProcA");
        sim.sendMessage(main.hWnd(), 0x0200, 0, 0);
        return sim.log().count("CallWindowProcA") > before;
    }
    WindowHandle taskbar = 0;
    WindowHandle notifyArea = 0;
    const std::string kNotifyArea = "(900, 740, 1020, 768)";
};

TEST_F(Tray, HideHooksTheWindowBeforeTheIconExistsThenZoomsIntoTheIconAndHides) {
    frmMain& main = startShown();
    sim.log().clear();
    hide(main);
    EXPECT_FALSE(main.visible());
    EXPECT_TRUE(sim.trayIconPresent());
    EXPECT_TRUE(hooked(main));
    // The hook is in place before the icon can report a click.
    EXPECT_LT(firstCall("SetWindowLongPtrA(-4)"), firstCall("Shell_NotifyIconA(0)"));
    ASSERT_EQ(zooms().size(), 1u) << calls();
    EXPECT_TRUE(zooms()[0].ends_with("-> " + kNotifyArea)) << zooms()[0];
}

TEST_F(Tray, IconRecordIsTheFirst88ByteFormWithTheTipFixedAtHideTime) {
    frmMain& main = startShown();
    hide(main);
    ASSERT_EQ(sim.notifyIconRecords().size(), 1u);
    const auto bytes = sim::serialise32(sim.notifyIconRecords()[0]);

    const auto word = [&](std::size_t at) {
        return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
               std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24;
    };
    EXPECT_EQ(word(0), 88u);
    EXPECT_EQ(word(4), static_cast<std::uint32_t>(main.hWnd()));
    EXPECT_EQ(word(8), static_cast<std::uint32_t>(sim.instance()));
    EXPECT_EQ(word(12), 7u);
    EXPECT_EQ(word(16), 1039u);
    EXPECT_EQ(word(20), static_cast<std::uint32_t>(main.icon()));
    EXPECT_NE(main.icon(), 0u);
    std::string tip = "Kestrove [Not Activated]";
    tip += '\0';
    tip.resize(64, ' ');
    EXPECT_EQ(std::string(bytes.begin() + 24, bytes.end()), tip);

    // Ticking the switch afterwards changes nothing until the next hide.
    trayMessage(main, 514);
    sim.ui().click(main.chckAuto.native());
    sim.ui().doEvents();
    const NotifyIconRecord ticked = sim.notifyIconRecords().back();
    EXPECT_EQ(std::string(ticked.szTip, 21), std::string("Kestrove [Activated]") + '\0');
    EXPECT_EQ(std::string(ticked.szTip + 21, 43), std::string(43, ' '));
}

TEST_F(Tray, OnlyTheLeftButtonReleaseOverOurIconRestoresWithTheZoom) {
    frmMain& main = startShown();
    hide(main);
    for (const std::intptr_t ignored : {512, 513, 515}) trayMessage(main, ignored);
    trayMessage(main, 514, sim.instance() + 1);  // someone else's icon id
    EXPECT_FALSE(main.visible()) << calls();
    EXPECT_TRUE(sim.trayIconPresent());

    const std::string into = zooms().at(0);
    trayMessage(main, 514);
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(sim.trayIconPresent());
    EXPECT_FALSE(hooked(main));
    // Out of the notification area, back to where the window was read while still hidden.
    ASSERT_EQ(zooms().size(), 2u) << calls();
    const std::string window = into.substr(0, into.find(" -> "));
    EXPECT_EQ(zooms()[1], kNotifyArea + " -> " + window);
}

TEST_F(Tray, EveryMessageIsForwardedAndThePreviousResultReturned) {
    frmMain& main = startShown();
    sim.setDefaultWindowProcResult(4711);
    hide(main);
    EXPECT_EQ(sim.sendMessage(main.hWnd(), 0x0200, 1, 2), 4711);
    EXPECT_EQ(trayMessage(main, 513), 4711);
    EXPECT_EQ(trayMessage(main, 514, sim.instance() + 4), 4711);
    EXPECT_EQ(sim.log().count("CallWindowProcA(1039"), 2u) << calls();
    EXPECT_EQ(trayMessage(main, 514), 4711);  // the message that restored is forwarded too
    EXPECT_EQ(sim.log().count("CallWindowProcA(1039"), 3u) << calls();
}

TEST_F(Tray, TimerTicksRunInsideTheRestoresPendingEventPasses) {
    frmMain& main = startShown();
    hide(main);
    sim.ui().waitForMessages(50);  // the watch timer is now due but not yet handled
    sim.log().clear();
    trayMessage(main, 514);
    EXPECT_GE(sim.log().count("FindWindowA(#32770, Connecting to Dial 1)"), 1u) << calls();
}

TEST_F(Tray, RightButtonReleaseOpensTheMenuWithoutTheHiddenHelp) {
    frmMain& main = startShown();
    hide(main);
    sim.log().clear();
    trayMessage(main, 517);
    const auto& entries = sim.ui().lastPopup();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].caption, "Restore Window");
    EXPECT_EQ(entries[1].caption, "-");
    EXPECT_EQ(entries[2].caption, "Exit");
    // Brought to the foreground and sent a null message after, or the menu would not close.
    EXPECT_EQ(sim.log().count("SetForegroundWindow"), 1u) << calls();
    EXPECT_EQ(sim.log().count("PostMessageA"), 1u) << calls();
    EXPECT_FALSE(main.visible());  // dismissed: still in the tray
    EXPECT_TRUE(sim.trayIconPresent());
}

TEST_F(Tray, RestoreWindowAndASecondStartBringTheWindowBackAtOnceWithoutZoom) {
    frmMain& main = startShown();
    hide(main);
    sim.log().clear();
    sim.ui().choosePopupItem("Restore Window");
    trayMessage(main, 517);
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(sim.trayIconPresent());
    EXPECT_FALSE(hooked(main));
    EXPECT_TRUE(zooms().empty()) << calls();
    EXPECT_EQ(sim.log().count("DoEvents"), 0u) << calls();

    hide(main);
    sim.log().clear();
    sim.ui().askToActivate(main.native());  // what a second start of the program sends
    sim.ui().doEvents();
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(sim.trayIconPresent());
    EXPECT_TRUE(zooms().empty()) << calls();

    sim.log().clear();
    sim.ui().askToActivate(main.native());  // already shown: only brought forward
    sim.ui().doEvents();
    EXPECT_TRUE(main.visible());
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA"), 0u) << calls();
}

TEST_F(Tray, ExitRemovesHookAndIconBeforeClosingEveryWindow) {
    frmMain& main = startShown();
    sim.ui().click(main.imgIcon.native());  // the About box is open too
    sim.ui().doEvents();
    hide(main);
    sim.log().clear();
    sim.ui().choosePopupItem("Exit");
    trayMessage(main, 517);
    const std::size_t firstClose = firstCall("DestroyWindow(");
    EXPECT_LT(firstCall("SetWindowLongPtrA(-4)"), firstClose);
    EXPECT_LT(firstCall("Shell_NotifyIconA(2)"), firstClose);
    EXPECT_FALSE(sim.trayIconPresent());
    EXPECT_TRUE(app.loadedForms().empty());
    EXPECT_TRUE(sim.ui().quitRequested());
    EXPECT_EQ(sim.log().count("CallWindowProcA"), 0u) << "forwarded to a closed window\n" << calls();
}

TEST_F(Tray, HidingTwiceKeepsOneIconAndAHookThatForwardsToTheWindowsOwnProcedure) {
    frmMain& main = startShown();
    sim.setDefaultWindowProcResult(4711);
    hide(main);
    hide(main);
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA(0)"), 1u) << calls();
    // A hook that had saved itself would forward to itself without end.
    EXPECT_EQ(sim.sendMessage(main.hWnd(), 0x0200, 0, 0), 4711);
    trayMessage(main, 514);
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(hooked(main));
    EXPECT_EQ(sim.sendMessage(main.hWnd(), 0x0200, 0, 0), 4711);
}

TEST_F(Tray, AnIconTheTaskbarRefusesIsRetriedForTwentySecondsWhileTheWindowStaysHidden) {
    frmMain& main = startShown();
    sim.setNotifyIconFails(true);
    hide(main);
    EXPECT_FALSE(main.visible());
    EXPECT_FALSE(sim.trayIconPresent());
    sim.ui().advance(19'000);
    EXPECT_FALSE(main.visible()) << "gave up before 20 s";
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA(0)"), 20u) << "not one try a second\n" << calls();
    sim.ui().advance(1000);
    EXPECT_TRUE(main.visible()) << "hidden with no icon\n" << calls();
    EXPECT_FALSE(hooked(main));

    sim.setNotifyIconFails(false);
    sim.log().clear();
    sim.ui().advance(5000);
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA"), 0u) << "kept retrying\n" << calls();
}

TEST_F(Tray, ClosedFromOutsideInTheTrayTheWindowTakesItsHookAndIconAlong) {
    frmMain& main = startShown();
    hide(main);
    sim.log().clear();
    sim.ui().closeForm(main.native());  // WM_CLOSE from a task manager or an uninstaller
    sim.ui().doEvents();
    EXPECT_FALSE(sim.trayIconPresent()) << "a ghost icon\n" << calls();
    // Removed while the window is still there: a shell may keep the icon of a window already gone.
    EXPECT_LT(firstCall("Shell_NotifyIconA(2)"), firstCall("DestroyWindow(frmMain)"));
    EXPECT_TRUE(sim.ui().quitRequested());
}

TEST_F(Tray, IconComesBackWhenTheTaskbarIsRecreated) {
    frmMain& main = startShown();
    hide(main);
    sim.restartTaskbar();
    EXPECT_TRUE(sim.trayIconPresent());
    ASSERT_EQ(sim.notifyIconRecords().size(), 2u);
    EXPECT_EQ(sim::serialise32(sim.notifyIconRecords()[1]), sim::serialise32(sim.notifyIconRecords()[0]));

    // A broadcast while the icon is still there: the icon stays, nothing is retried, the window stays in
    // the tray.
    sim.sendMessage(main.hWnd(), sim.platform().windowProcs.registerMessage("TaskbarCreated"), 0, 0);
    sim.ui().advance(3000);
    EXPECT_TRUE(sim.trayIconPresent());
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA(0)"), 3u) << calls();
    EXPECT_FALSE(main.visible());

    // Another subclass put over the hook gets the hook's address, and puts it back after the restore.
    struct Other final : WindowHook {
        MessageResult windowProc(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) override {
            return 0;
        }
    } other;
    WindowProcService& procs = sim.platform().windowProcs;
    const ProcAddress hook = procs.install(main.hWnd(), other);
    sim.ui().askToActivate(main.native());  // restored as a second start does
    sim.ui().doEvents();
    ASSERT_TRUE(main.visible());
    procs.restore(main.hWnd(), hook);
    // Once restored, a new taskbar adds nothing, even through a hook left in the window's chain.
    sim.restartTaskbar();
    EXPECT_FALSE(sim.trayIconPresent()) << calls();
}

TEST_F(Tray, AStartIntoTheTrayZoomsFromWhereTheWindowWillAppear) {
    sim.setFile(kSettingsPath, kArmedSettings);
    frmMain& main = start();
    ASSERT_FALSE(main.visible());
    // Centred on the 1024 x 768 screen while still hidden: the simulated window has no frame.
    const auto expectCentred = [&] {
        const TwipRect r = main.rect();
        EXPECT_EQ(r.left, (15360 - 5655) / 2.0f);
        EXPECT_EQ(r.top, (11520 - 1545) / 2.0f);
    };
    expectCentred();
    EXPECT_EQ(zooms(), std::vector<std::string>{"(324, 333, 701, 436) -> " + kNotifyArea}) << calls();
    const NotifyIconRecord record = sim.notifyIconRecords().at(0);
    EXPECT_EQ(std::string(record.szTip), "Kestrove [Activated]");
    trayMessage(main, 514);
    EXPECT_TRUE(main.visible());
    expectCentred();
}

TEST_F(Tray, ANewTaskbarThatRefusesTheIconIsRetriedThenTheWindowComesBack) {
    frmMain& main = startShown();
    hide(main);
    sim.setNotifyIconFails(true);
    sim.restartTaskbar();
    sim.ui().advance(19'000);
    EXPECT_FALSE(main.visible()) << "gave up after too few tries";
    sim.ui().advance(1000);
    EXPECT_TRUE(main.visible()) << "hidden with no icon\n" << calls();
    EXPECT_FALSE(hooked(main));

    sim.setNotifyIconFails(false);
    sim.log().clear();
    sim.ui().advance(5000);  // the retries are gone with the hook
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA"), 0u) << calls();
}

TEST_F(Tray, ANewTaskbarThatTakesTheIconOnARetryKeepsTheWindowInTheTray) {
    frmMain& main = startShown();
    hide(main);
    sim.setNotifyIconFails(true);
    sim.restartTaskbar();
    sim.ui().advance(1000);
    sim.setNotifyIconFails(false);
    sim.ui().advance(1000);
    EXPECT_TRUE(sim.trayIconPresent());
    sim.log().clear();
    sim.ui().advance(10000);
    EXPECT_FALSE(main.visible());
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA"), 0u) << "kept retrying\n" << calls();
}

TEST_F(Tray, NoHookNoIconAndTheWindowStaysShown) {
    frmMain& main = startShown();
    sim.setWindowProcInstallFails(true);
    hide(main);
    EXPECT_TRUE(main.visible());
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA"), 0u) << calls();
    sim.setWindowProcInstallFails(false);
    hide(main);
    EXPECT_FALSE(main.visible());
    EXPECT_TRUE(sim.trayIconPresent());
}

// A balloon while the icon is missing (a taskbar still starting at log-on, or gone with Explorer) waits
// for the icon and shows once it is there, and only once.
TEST_F(Tray, ABalloonWaitsUntilTheIconIsThere) {
    frmMain& main = startShown();
    basMain tray(sim.platform(), main, main.mnuPopUp);
    sim.setNotifyIconFails(true);
    ASSERT_TRUE(tray.AddToTray("[Activated]"));
    tray.ShowTrayBalloon("first");
    tray.ShowTrayBalloon("Stopped redialling");  // the newer one is the one that waits
    EXPECT_TRUE(sim.balloons().empty());
    sim.setNotifyIconFails(false);
    sim.ui().advance(1000);
    ASSERT_TRUE(sim.trayIconPresent());
    using Balloons = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(sim.balloons(), (Balloons{{"Kestrove", "Stopped redialling"}}));

    sim.dropTrayIcons();  // Explorer ends; it has not said so yet
    tray.ShowTrayBalloon("again");
    EXPECT_EQ(sim.balloons().size(), 1u);
    sim.restartTaskbar();
    EXPECT_EQ(sim.balloons(), (Balloons{{"Kestrove", "Stopped redialling"}, {"Kestrove", "again"}}));
    sim.restartTaskbar();
    sim.ui().advance(5000);
    EXPECT_EQ(sim.balloons().size(), 2u) << "shown twice";

    tray.RemoveFromTray();  // out of the tray: the next one waits for the next hide
    tray.ShowTrayBalloon("later");
    EXPECT_EQ(sim.balloons().size(), 2u);
    ASSERT_TRUE(tray.AddToTray("[Activated]"));
    EXPECT_EQ(sim.balloons().back().second, "later");
}

class Zoom : public KestroveTest {
  protected:
    std::size_t draws() const { return sim.log().count("DrawAnimatedRects"); }
    WindowHandle window = 0x777;
};

TEST_F(Zoom, OnlyDirectionsZeroAndOneLookAnythingUp) {
    const WindowHandle taskbar = sim.addWindow("Shell_TrayWnd", "");
    sim.addWindow("TrayNotifyWnd", "", 0, taskbar);
    for (const int direction : {-1, 2}) basMain::AnimateTray(direction, window, sim.platform().windows);
    EXPECT_TRUE(sim.log().calls().empty()) << calls();
    basMain::AnimateTray(1, window, sim.platform().windows);
    basMain::AnimateTray(0, window, sim.platform().windows);
    EXPECT_EQ(draws(), 2u);
}

TEST_F(Zoom, WalksTheTaskbarsChildrenForTheFirstNotificationArea) {
    const WindowHandle taskbar = sim.addWindow("Shell_TrayWnd", "");
    sim.addWindow("ReBarWindow32", "", 0, taskbar);
    sim.addWindow("traynotifywnd", "", 0, taskbar);  // wrong case: no match
    const WindowHandle match = sim.addWindow("MyTrayNotifyWndEx", "", 0, taskbar);
    sim.setWindowRect(match, {1, 2, 3, 4});
    const WindowHandle later = sim.addWindow("TrayNotifyWnd", "", 0, taskbar);
    sim.setWindowRect(later, {5, 6, 7, 8});
    basMain::AnimateTray(1, window, sim.platform().windows);
    EXPECT_EQ(sim.log().count("GetClassNameA"), 3u) << calls();
    ASSERT_EQ(draws(), 1u);
    EXPECT_EQ(sim.log().count("GetWindowRect(" + sim::hex(match) + ")"), 1u) << calls();
}

TEST_F(Zoom, NoTaskbarOrNoNotificationAreaDrawsNothingAndReturns) {
    basMain::AnimateTray(1, window, sim.platform().windows);
    EXPECT_EQ(draws(), 0u);
    const WindowHandle taskbar = sim.addWindow("Shell_TrayWnd", "");
    sim.addWindow("Button", "", 0, taskbar);
    basMain::AnimateTray(0, window, sim.platform().windows);
    EXPECT_EQ(draws(), 0u);
    EXPECT_EQ(sim.log().count("GetWindow(0"), 0u) << calls();
}

}  // namespace
}  // namespace kestrove::testing
