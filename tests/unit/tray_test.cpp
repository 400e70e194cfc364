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
    // Positions of the first call starting with each prefix, in the order given; fails when missing.
    void expectOrder(std::initializer_list<std::string> prefixes) {
        const auto& log = sim.log().calls();
        std::size_t from = 0;
        for (const std::string& prefix : prefixes) {
            auto it = std::find_if(log.begin() + static_cast<std::ptrdiff_t>(from), log.end(),
                                   [&](const std::string& c) { return c.starts_with(prefix); });
            ASSERT_NE(it, log.end()) << "missing, or out of order: " << prefix << "\n" << calls();
            from = static_cast<std::size_t>(it - log.begin()) + 1;
        }
    }
    WindowHandle taskbar = 0;
    WindowHandle notifyArea = 0;
};

TEST_F(Tray, HideInstallsTheHookThenAddsTheIconThenZoomsThenHides) {
    frmMain& main = startShown();
    sim.log().clear();
    hide(main);
    expectOrder(
        {"SetWindowLongA(-4)", "Shell_NotifyIconA(0)", "DrawAnimatedRects", "ShowWindow(frmMain, hide)"});
    EXPECT_FALSE(main.visible());
    EXPECT_TRUE(sim.trayIconPresent());
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
}

TEST_F(Tray, TickedSwitchGivesTheActivatedTip) {
    sim.setFile(kSettingsPath, kThirteenBytes);
    start();
    ASSERT_EQ(sim.notifyIconRecords().size(), 1u);
    const NotifyIconRecord record = sim.notifyIconRecords()[0];
    EXPECT_EQ(std::string(record.szTip, 21), std::string("Kestrove [Activated]") + '\0');
    EXPECT_EQ(std::string(record.szTip + 21, 43), std::string(43, ' '));
}

TEST_F(Tray, OnlyTheLeftButtonReleaseOverOurIconRestoresWithTheZoom) {
    frmMain& main = startShown();
    hide(main);
    for (const std::intptr_t ignored : {512, 513, 515}) trayMessage(main, ignored);
    trayMessage(main, 514, sim.instance() + 1);  // someone else's icon id
    EXPECT_FALSE(main.visible()) << calls();

    sim.log().clear();
    trayMessage(main, 514);
    expectOrder({"SetWindowLongA(-4)", "Shell_NotifyIconA(2)", "GetWindowRect", "DrawAnimatedRects",
                 "DoEvents", "ShowWindow(frmMain, show)", "DoEvents"});
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(sim.trayIconPresent());
}

TEST_F(Tray, ZoomOutReadsTheWindowWhileStillHiddenAndRunsTheOtherWay) {
    frmMain& main = startShown();
    hide(main);
    const auto& log = sim.log().calls();
    const auto hiding =
        std::find_if(log.begin(), log.end(), [](auto& c) { return c.starts_with("DrawAnimatedRects"); });
    ASSERT_NE(hiding, log.end());
    const std::string into = *hiding;
    trayMessage(main, 514);
    const auto outOf =
        std::find_if(log.rbegin(), log.rend(), [](auto& c) { return c.starts_with("DrawAnimatedRects"); });
    // The same two rectangles, exchanged.
    const auto rects = [](const std::string& call) {
        const auto first = call.find('(', call.find(", 3, "));
        const auto split = call.find(')', first) + 1;
        return std::pair{call.substr(first, split - first), call.substr(call.find('(', split))};
    };
    EXPECT_EQ(rects(into).first, rects(*outOf).second.substr(0, rects(into).first.size()));
    EXPECT_EQ(rects(into).second.substr(0, rects(*outOf).first.size()), rects(*outOf).first);
    EXPECT_NE(into.find("(900, 740, 1020, 768)"), std::string::npos) << into;
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
    expectOrder(
        {"DrawAnimatedRects", "FindWindowA(#32770, Connecting to Dial 1)", "ShowWindow(frmMain, show)"});
}

TEST_F(Tray, RightButtonReleaseOpensTheMenuWithoutTheHiddenHelp) {
    frmMain& main = startShown();
    hide(main);
    sim.log().clear();
    trayMessage(main, 517);
    expectOrder({"SetForegroundWindow", "TrackPopupMenu", "PostMessageA"});
    const auto& entries = sim.ui().lastPopup();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].caption, "Restore Window");
    EXPECT_EQ(entries[1].caption, "-");
    EXPECT_EQ(entries[2].caption, "Exit");
    EXPECT_FALSE(main.visible());  // dismissed: still in the tray
    EXPECT_TRUE(sim.trayIconPresent());
}

TEST_F(Tray, RestoreWindowBringsItBackAtOnceWithoutZoom) {
    frmMain& main = startShown();
    hide(main);
    sim.log().clear();
    sim.ui().choosePopupItem("Restore Window");
    trayMessage(main, 517);
    expectOrder(
        {"TrackPopupMenu", "SetWindowLongA(-4)", "Shell_NotifyIconA(2)", "ShowWindow(frmMain, show)"});
    EXPECT_EQ(sim.log().count("DrawAnimatedRects"), 0u) << calls();
    EXPECT_EQ(sim.log().count("DoEvents"), 0u) << calls();
    EXPECT_TRUE(main.visible());
}

TEST_F(Tray, ExitRemovesHookAndIconBeforeClosingEveryWindow) {
    frmMain& main = startShown();
    sim.ui().click(main.imgIcon.native());  // the About box is open too
    sim.ui().doEvents();
    hide(main);
    sim.log().clear();
    sim.ui().choosePopupItem("Exit");
    trayMessage(main, 517);
    expectOrder({"SetWindowLongA(-4)", "Shell_NotifyIconA(2)", "DestroyWindow(frmMain)"});
    EXPECT_EQ(sim.log().count("DestroyWindow(frmAbout)"), 1u) << calls();
    EXPECT_FALSE(sim.trayIconPresent());
    EXPECT_TRUE(app.loadedForms().empty());
    EXPECT_TRUE(sim.ui().quitRequested());
    EXPECT_EQ(sim.log().count("CallWindowProcA"), 0u) << "forwarded to a closed window\n" << calls();
}

TEST_F(Tray, HidingTwiceKeepsTheFirstProcedureAndOneIcon) {
    frmMain& main = startShown();
    hide(main);
    const ProcAddress first = basMain::OldWindowProc;
    hide(main);
    EXPECT_EQ(basMain::OldWindowProc, first);
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA(0)"), 1u) << calls();
    EXPECT_EQ(sim.log().count("SetWindowLongA(-4)"), 1u);
    trayMessage(main, 514);
    EXPECT_TRUE(main.visible());
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
    EXPECT_EQ(sim.log().count("SetWindowLongA(-4)"), 2u) << "hook not undone\n" << calls();

    sim.setNotifyIconFails(false);
    sim.log().clear();
    trayMessage(main, 514);
    sim.ui().advance(5000);
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA"), 0u) << calls();
}

TEST_F(Tray, ClosedFromOutsideInTheTrayTheWindowTakesItsHookAndIconAlong) {
    frmMain& main = startShown();
    hide(main);
    const NotifyIconRecord added = sim.notifyIconRecords().back();
    sim.log().clear();
    sim.ui().closeForm(main.native());  // WM_CLOSE from a task manager or an uninstaller
    sim.ui().doEvents();
    expectOrder({"SetWindowLongA(-4)", "Shell_NotifyIconA(2)", "DestroyWindow(frmMain)"});
    EXPECT_FALSE(sim.trayIconPresent());
    const NotifyIconRecord deleted = sim.notifyIconRecords().back();
    EXPECT_EQ(std::pair(deleted.hWnd, deleted.uID), std::pair(added.hWnd, added.uID));
    EXPECT_TRUE(sim.ui().quitRequested());
}

TEST_F(Tray, ASecondStartBringsTheWindowBackAsRestoreWindowDoes) {
    frmMain& main = startShown();
    hide(main);
    sim.log().clear();
    sim.ui().askToActivate(main.native());
    sim.ui().doEvents();
    expectOrder({"SetWindowLongA(-4)", "Shell_NotifyIconA(2)", "ShowWindow(frmMain, show)"});
    EXPECT_EQ(sim.log().count("DrawAnimatedRects"), 0u) << calls();
    EXPECT_TRUE(main.visible());
    EXPECT_FALSE(sim.trayIconPresent());

    sim.log().clear();
    sim.ui().askToActivate(main.native());  // already shown: only brought forward
    sim.ui().doEvents();
    EXPECT_EQ(sim.log().count("ShowWindow(frmMain, show)"), 1u) << calls();
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA"), 0u) << calls();
}

TEST_F(Tray, IconComesBackWhenTheTaskbarIsRecreated) {
    frmMain& main = startShown();
    hide(main);
    ASSERT_NE(basMain::TaskbarCreated, 0u);
    sim.dropTrayIcons();
    sim.sendMessage(main.hWnd(), basMain::TaskbarCreated, 0, 0);
    ASSERT_EQ(sim.notifyIconRecords().size(), 2u);
    EXPECT_EQ(sim::serialise32(sim.notifyIconRecords()[1]), sim::serialise32(sim.notifyIconRecords()[0]));
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA(0)"), 2u);

    trayMessage(main, 514);  // once restored, a new taskbar adds nothing
    sim.sendMessage(main.hWnd(), basMain::TaskbarCreated, 0, 0);
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA(0)"), 2u) << calls();

    // Not even when the hook is still in the window's chain, as another subclass put back over it
    // would leave it.
    sim.platform().windowProcs.install(main.hWnd(), basMain::TrayWindowProc);
    sim.sendMessage(main.hWnd(), basMain::TaskbarCreated, 0, 0);
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA(0)"), 2u) << calls();
    EXPECT_FALSE(sim.trayIconPresent());
}

TEST_F(Tray, AStartIntoTheTrayZoomsFromWhereTheWindowWillAppear) {
    sim.setFile(kSettingsPath, kThirteenBytes);
    frmMain& main = start();
    ASSERT_FALSE(main.visible());
    // Centred on the 1024 x 768 screen while still hidden: the simulated window has no frame.
    const auto expectCentred = [&] {
        const TwipRect r = main.rect();
        EXPECT_EQ(r.left, (15360 - 5655) / 2.0f);
        EXPECT_EQ(r.top, (11520 - 1545) / 2.0f);
    };
    expectCentred();
    EXPECT_EQ(sim.log().count("DrawAnimatedRects(" + sim::hex(main.hWnd()) + ", 3, (324, 333, 701, 436)"), 1u)
        << "the hide zoom did not start at the window\n"
        << calls();
    trayMessage(main, 514);
    EXPECT_TRUE(main.visible());
    expectCentred();
}

TEST_F(Tray, ANewTaskbarThatRefusesTheIconIsRetriedThenTheWindowComesBack) {
    frmMain& main = startShown();
    hide(main);
    sim.dropTrayIcons();
    sim.setNotifyIconFails(true);
    sim.sendMessage(main.hWnd(), basMain::TaskbarCreated, 0, 0);
    sim.ui().advance(19'000);
    EXPECT_FALSE(main.visible()) << "gave up after too few tries";
    sim.ui().advance(1000);
    EXPECT_TRUE(main.visible()) << "hidden with no icon\n" << calls();

    sim.setNotifyIconFails(false);
    sim.log().clear();
    trayMessage(main, 514);  // the hook is gone
    sim.ui().advance(5000);  // and so are the retries
    EXPECT_EQ(sim.log().count("Shell_NotifyIconA"), 0u) << calls();
    EXPECT_EQ(sim.log().count("CallWindowProcA"), 0u) << calls();
}

TEST_F(Tray, ANewTaskbarThatTakesTheIconOnARetryKeepsTheWindowInTheTray) {
    frmMain& main = startShown();
    hide(main);
    sim.dropTrayIcons();
    sim.setNotifyIconFails(true);
    sim.sendMessage(main.hWnd(), basMain::TaskbarCreated, 0, 0);
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
    EXPECT_EQ(sim.log().count("SetWindowLongA(-4)"), 1u) << "undid a hook that was never installed\n"
                                                         << calls();
    sim.setWindowProcInstallFails(false);
    hide(main);
    EXPECT_FALSE(main.visible());
    EXPECT_TRUE(sim.trayIconPresent());
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
