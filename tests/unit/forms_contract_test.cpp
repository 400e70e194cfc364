// The forms layer's contract, run over the simulated backend with small windows of the test's own.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/forms/Application.h"
#include "platform/forms/ComboPick.h"
#include "platform/sim/SimPlatform.h"

namespace kestrove::forms {
namespace {

ControlDesc design(std::string name, TwipRect rect = {}, Picture picture = Picture::None) {
    ControlDesc d;
    d.name = std::move(name);
    d.rect = rect;
    d.picture = picture;
    return d;
}

FormDesc windowDesign(std::string name) {
    FormDesc d;
    d.name = std::move(name);
    d.client = {4515, 3000};
    return d;
}

// N only makes distinct window classes: the application keeps one instance per class.
template <int N>
class TestWindow : public Form {
  public:
    explicit TestWindow(Application& app, int startMarker = 0)
        : Form(app, windowDesign("frmTest" + std::to_string(N))), marker(startMarker) {
        mnuPopUp.add(mnuRestore);
        mnuPopUp.add(mnuSecret);
        mnuPopUp.add(mnuMore);
        mnuMore.add(mnuDeep);
        mnuPopUp.add(mnuExit);
    }

    CheckBox chckSwitch{*this, design("chckSwitch")};
    ComboBox cboEntries{*this, design("cboEntries")};
    CommandButton cmdGo{*this, design("cmdGo")};
    CommandButton cmdOther{*this, design("cmdOther")};
    Label lblInfo{*this, design("lblInfo", {120, 240, 2000, 300})};
    Image imgIcon{*this, design("imgIcon", {}, Picture::AppIcon)};
    Timer tmrFast{*this, 10, false};
    Timer tmrSlow{*this, 1000, false};
    MenuItem mnuPopUp{"PopUp"}, mnuRestore{"Restore Window"}, mnuSecret{"Secret", false}, mnuMore{"More"},
        mnuDeep{"Deep"}, mnuExit{"Exit"};

    std::function<void()> onLoad;
    int loads = 0;
    int marker = 0;  // state that must not survive an unload

  protected:
    void Form_Load() override {
        ++loads;
        if (onLoad) onLoad();
    }
};

using Window = TestWindow<0>;
using OtherWindow = TestWindow<1>;

class FormsContract : public ::testing::Test {
  protected:
    template <class W = Window>
    W& shown() {
        W& window = app.form<W>();
        window.show();
        return window;
    }
    int check(const Control& box) const { return sim.ui().control(box.native())->check; }
    std::string calls() const { return sim.log().dump(); }

    mutable sim::SimPlatform sim;
    Application app{sim.ui()};
    sim::SimBackend& ui = sim.ui();
};

TEST_F(FormsContract, CheckBoxValueFromCodeRaisesClickLikeTheUser) {
    Window& w = shown();
    int clicks = 0;
    w.chckSwitch.onClick = [&] { ++clicks; };

    w.chckSwitch.setValue(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(check(w.chckSwitch), 1);

    w.chckSwitch.setValue(1);  // no change, no event
    EXPECT_EQ(clicks, 1);

    ui.click(w.chckSwitch.native());  // the user unticks it
    ui.doEvents();
    EXPECT_EQ(w.chckSwitch.value(), 0);
    EXPECT_EQ(check(w.chckSwitch), 0);
    EXPECT_EQ(clicks, 2);
}

TEST_F(FormsContract, CheckBoxRefusesValuesOutsideZeroToTwoAndTwoIsGreyed) {
    Window& w = shown();
    int clicks = 0;
    w.chckSwitch.onClick = [&] { ++clicks; };
    w.chckSwitch.setValue(1);

    EXPECT_THROW(w.chckSwitch.setValue(3), InvalidPropertyValue);
    EXPECT_THROW(w.chckSwitch.setValue(-1), InvalidPropertyValue);
    EXPECT_EQ(w.chckSwitch.value(), 1);
    EXPECT_EQ(check(w.chckSwitch), 1);
    EXPECT_EQ(clicks, 1);

    w.chckSwitch.setValue(2);
    EXPECT_EQ(w.chckSwitch.value(), 2);
    EXPECT_EQ(check(w.chckSwitch), 2);
    EXPECT_EQ(clicks, 2);
}

TEST_F(FormsContract, EnablingAnEnabledTimerKeepsItsRunningInterval) {
    Window& w = shown();
    std::vector<std::uint32_t> slowTicks;
    int fastTicks = 0;
    w.tmrSlow.onTimer = [&] { slowTicks.push_back(ui.nowMs()); };
    w.tmrFast.onTimer = [&] {
        ++fastTicks;
        w.tmrSlow.setEnabled(true);
    };
    w.tmrSlow.setEnabled(true);
    w.tmrFast.setEnabled(true);

    ui.advance(999);
    EXPECT_TRUE(slowTicks.empty());
    ui.advance(1001);
    EXPECT_EQ(slowTicks, (std::vector<std::uint32_t>{1000, 2000}));
    EXPECT_EQ(fastTicks, 200);
}

TEST_F(FormsContract, OnlyDisabledToEnabledStartsANewInterval) {
    Window& w = shown();
    std::vector<std::uint32_t> ticks;
    w.tmrSlow.onTimer = [&] { ticks.push_back(ui.nowMs()); };
    w.tmrSlow.setEnabled(true);

    ui.advance(600);
    w.tmrSlow.setEnabled(false);
    w.tmrSlow.setEnabled(false);
    w.tmrSlow.setEnabled(true);  // a new interval from 600
    ui.advance(999);
    EXPECT_TRUE(ticks.empty());
    ui.advance(1);
    EXPECT_EQ(ticks, (std::vector<std::uint32_t>{1600}));
}

TEST_F(FormsContract, FirstTickComesOneFullIntervalAfterEnabling) {
    ui.advance(300);
    Window& w = app.form<Window>();
    std::vector<std::uint32_t> slow, fast;
    w.tmrSlow.onTimer = [&] { slow.push_back(ui.nowMs()); };
    w.tmrFast.onTimer = [&] { fast.push_back(ui.nowMs()); };
    w.tmrSlow.setEnabled(true);  // before the window exists: runs from its load
    w.show();

    ui.advance(250);
    w.tmrFast.setEnabled(true);
    ui.advance(749);
    EXPECT_TRUE(slow.empty());
    ui.advance(1);
    EXPECT_EQ(slow, (std::vector<std::uint32_t>{1300}));
    EXPECT_EQ(fast.front(), 560u);
}

TEST_F(FormsContract, ASleepingMachineTicksNothingAndEveryWindowHearsItWokeUp) {
    Window& w = shown();
    OtherWindow& other = shown<OtherWindow>();
    std::vector<std::uint32_t> ticks, wakes;
    w.tmrSlow.onTimer = [&] { ticks.push_back(ui.nowMs()); };
    w.onPowerResume = [&] { wakes.push_back(ui.nowMs() * 10 + (ticks.empty() ? 0 : 1)); };
    other.onPowerResume = [&] { wakes.push_back(ui.nowMs() * 10 + 2); };
    w.tmrSlow.setEnabled(true);

    ui.advance(500);
    ui.sleepMachine(3'600'000);
    EXPECT_TRUE(ticks.empty());  // the hour asleep ticked nothing, and the wake-up came before any tick
    EXPECT_EQ(wakes, (std::vector<std::uint32_t>{36'005'000, 36'005'002}));
    ui.advance(1000);  // the tick missed is made up once, then the timer keeps its own pace
    EXPECT_EQ(ticks, (std::vector<std::uint32_t>{3'600'500, 3'601'500}));
}

TEST_F(FormsContract, DoEventsRunsPendingMessagesInsideTheRunningHandler) {
    Window& w = shown();
    std::vector<std::string> order;
    w.cmdGo.onClick = [&] {
        order.push_back("go");
        ui.click(w.cmdOther.native());
        app.doEvents();
        order.push_back("go done");
    };
    w.cmdOther.onClick = [&] {
        order.push_back("other");
        ui.mouse(w.lblInfo.native(), ControlEvent::MouseUp, kLeftButton, 0);
        app.doEvents();  // nested once more
        order.push_back("other done");
    };
    w.lblInfo.onMouseUp = [&](const MouseArgs&) { order.push_back("label"); };

    ui.click(w.cmdGo.native());
    ui.doEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"go", "other", "label", "other done", "go done"}));
}

TEST_F(FormsContract, DoEventsInsideATickHandlesOtherTicksDueNow) {
    Window& w = shown();
    std::vector<std::string> order;
    w.tmrSlow.onTimer = [&] {
        order.push_back("slow");
        app.doEvents();
        order.push_back("slow done");
    };
    w.tmrFast.onTimer = [&] {
        if (ui.nowMs() == 1000) order.push_back("fast");
    };
    w.tmrSlow.setEnabled(true);  // started first, so first among the ticks due at 1000
    w.tmrFast.setEnabled(true);

    ui.advance(1000);
    EXPECT_EQ(order, (std::vector<std::string>{"slow", "fast", "slow done"}));
}

TEST_F(FormsContract, TimerTicksAreNotHandledWhileAWindowLoads) {
    Window& w = shown();
    std::vector<std::uint32_t> fast;
    w.tmrSlow.onTimer = [&] { app.form<OtherWindow>().show(); };
    w.tmrFast.onTimer = [&] { fast.push_back(ui.nowMs()); };
    w.tmrSlow.setEnabled(true);  // ticks at 1000 before tmrFast does
    w.tmrFast.setEnabled(true);
    app.form<OtherWindow>().onLoad = [&] { app.doEvents(); };  // tmrFast's tick at 1000 is pending here

    ui.advance(1010);
    ASSERT_NE(app.loadedForm<OtherWindow>(), nullptr);
    ASSERT_GE(fast.size(), 2u);
    EXPECT_EQ(fast[fast.size() - 2], 990u);
    EXPECT_EQ(fast.back(), 1010u);
}

TEST_F(FormsContract, AWindowIsLoadedOnceAndLaterShowsOnlyBringItForward) {
    Window& w = shown();
    w.show();

    EXPECT_EQ(w.loads, 1);
    EXPECT_EQ(sim.log().count("CreateWindowExA(frmTest0)"), 1u) << calls();
    EXPECT_EQ(sim.log().count("ShowWindow(frmTest0, show)"), 2u) << calls();
    EXPECT_EQ(&app.form<Window>(7), &w);
    EXPECT_EQ(w.marker, 0) << "constructor arguments reached the existing window";
    EXPECT_EQ(app.loadedForms().size(), 1u);
}

TEST_F(FormsContract, UnloadDestroysTheWindowAndItsState) {
    Window& first = shown();
    first.marker = 42;
    first.tmrFast.setEnabled(true);
    const NativeId oldNative = first.native();
    first.unload();

    EXPECT_EQ(ui.form(oldNative), nullptr);
    EXPECT_EQ(sim.log().count("DestroyWindow(frmTest0)"), 1u) << calls();
    EXPECT_EQ(sim.log().count("KillTimer"), 1u) << calls();
    EXPECT_TRUE(app.loadedForms().empty());
    EXPECT_EQ(app.loadedForm<Window>(), nullptr);

    Window& second = app.form<Window>(5);
    EXPECT_EQ(second.marker, 5);  // created afresh, with the arguments given now
    EXPECT_FALSE(second.loaded());
    EXPECT_FALSE(second.tmrFast.enabled());
    second.show();
    EXPECT_EQ(second.loads, 1);
    EXPECT_NE(second.native(), oldNative);
}

TEST_F(FormsContract, LoadedWindowsListIsWalkable) {
    Window& a = shown();
    OtherWindow& b = shown<OtherWindow>();
    EXPECT_EQ(app.loadedForms(), (std::vector<Form*>{&a, &b}));

    a.unload();
    EXPECT_EQ(app.loadedForms(), (std::vector<Form*>{&b}));
    EXPECT_EQ(app.loadedForm<Window>(), nullptr);
    EXPECT_EQ(app.loadedForm<OtherWindow>(), &b);
}

TEST_F(FormsContract, UnloadInsideTheWindowsOwnHandlerIsSafe) {
    Window& w = shown();
    w.cmdGo.onClick = [&w] {
        w.unload();
        w.marker = 7;  // the object lives until the handler returns
    };
    ui.click(w.cmdGo.native());
    ui.doEvents();
    EXPECT_EQ(ui.formNamed("frmTest0"), nullptr);
    EXPECT_TRUE(ui.quitRequested());

    // The same from a timer: its window goes, and so do its ticks.
    Window& again = shown();
    int ticks = 0;
    again.tmrFast.onTimer = [&again, &ticks] {
        ++ticks;
        again.unload();
    };
    again.tmrFast.setEnabled(true);
    ui.advance(100);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(app.unhandledErrors(), 0u);
}

TEST_F(FormsContract, AWindowHiddenByItsLoadHandlerStaysHidden) {
    Window& w = app.form<Window>();
    w.onLoad = [&w] { w.hide(); };
    w.show();
    EXPECT_TRUE(w.loaded());
    EXPECT_FALSE(w.visible());
    EXPECT_EQ(sim.log().count("ShowWindow(frmTest0, show)"), 0u) << calls();
}

TEST_F(FormsContract, PopupMenuReturnsAfterTheChosenHandlerRan) {
    Window& w = shown();
    std::vector<std::string> order;
    w.mnuExit.onClick = [&] { order.push_back("exit"); };
    w.cmdGo.onClick = [&] {
        order.push_back("open");
        w.popupMenu(w.mnuPopUp);
        order.push_back("closed");
    };
    ui.choosePopupItem("Exit");
    ui.click(w.cmdGo.native());
    ui.doEvents();

    EXPECT_EQ(order, (std::vector<std::string>{"open", "exit", "closed"}));
    const auto& menu = ui.lastPopup();
    ASSERT_EQ(menu.size(), 3u);  // "Secret" is hidden
    EXPECT_EQ(menu[0].caption, "Restore Window");
    EXPECT_EQ(menu[1].caption, "More");
    ASSERT_EQ(menu[1].children.size(), 1u);
    EXPECT_EQ(menu[1].children[0].caption, "Deep");
    EXPECT_EQ(menu[2].caption, "Exit");
}

TEST_F(FormsContract, PopupMenuRunsOnlyTheItemChosen) {
    Window& w = shown();
    std::vector<std::string> chosen;
    w.mnuDeep.onClick = [&] { chosen.push_back("deep"); };
    w.mnuSecret.onClick = [&] { chosen.push_back("secret"); };
    w.mnuRestore.onClick = [&] { chosen.push_back("restore"); };

    ui.choosePopupItem("Deep");
    w.popupMenu(w.mnuPopUp);
    w.popupMenu(w.mnuPopUp);  // dismissed
    ui.choosePopupItem("Secret");
    w.popupMenu(w.mnuPopUp);  // not on the menu, cannot be chosen

    EXPECT_EQ(chosen, (std::vector<std::string>{"deep"}));
}

TEST_F(FormsContract, LabelsAndPicturesTakeTheirOwnMouseEvents) {
    Window& w = shown();
    int formMoves = 0, labelMoves = 0;
    MouseArgs pictureUp;
    w.onMouseMove = [&](const MouseArgs&) { ++formMoves; };
    w.lblInfo.onMouseMove = [&](const MouseArgs&) { ++labelMoves; };
    w.imgIcon.onMouseUp = [&](const MouseArgs& args) { pictureUp = args; };

    ui.mouse(w.lblInfo.native(), ControlEvent::MouseMove, 0, 0);
    ui.mouse(w.imgIcon.native(), ControlEvent::MouseMove, 0, 0);
    ui.mouse(w.imgIcon.native(), ControlEvent::MouseUp, kRightButton, kShiftMask);
    ui.doEvents();
    EXPECT_EQ(labelMoves, 1);
    EXPECT_EQ(formMoves, 0);
    EXPECT_EQ(pictureUp.button, kRightButton);
    EXPECT_EQ(pictureUp.shift, kShiftMask);

    ui.moveOverForm(w.native());
    ui.doEvents();
    EXPECT_EQ(formMoves, 1);
}

TEST_F(FormsContract, TwipsReachTheBackendFractionally) {
    Window& w = shown();
    w.lblInfo.setLeft(5122.5f);
    w.lblInfo.setTop(0.25f);
    const TwipRect label = ui.control(w.lblInfo.native())->desc.rect;
    EXPECT_EQ(label.left, 5122.5f);
    EXPECT_EQ(label.top, 0.25f);
    EXPECT_EQ(label.width, 2000.0f);

    EXPECT_EQ(w.rect().left, (15360.0f - 4515.0f) / 2);  // centred: 5422.5
    w.setLeft(5122.5f);
    w.setTop(-7.5f);
    const TwipRect outer = ui.form(w.native())->rect;
    EXPECT_EQ(outer.left, 5122.5f);
    EXPECT_EQ(outer.top, -7.5f);
    EXPECT_EQ(outer.width, 4515.0f);
}

TEST_F(FormsContract, EventsWithoutAHandlerDoNothing) {
    Window& w = shown();
    w.cboEntries.addItem("Dial 1");
    w.tmrFast.setEnabled(true);
    ui.choosePopupItem("Restore Window");
    w.popupMenu(w.mnuPopUp);

    ui.click(w.cmdGo.native());
    ui.click(w.lblInfo.native());
    ui.click(w.chckSwitch.native());
    ui.mouse(w.imgIcon.native(), ControlEvent::MouseDown, kLeftButton, 0);
    ui.pick(w.cboEntries.native(), 0);
    ui.clickForm(w.native());
    ui.moveOverForm(w.native());
    ui.advance(50);

    EXPECT_EQ(app.unhandledErrors(), 0u);
    EXPECT_TRUE(w.visible());
    EXPECT_EQ(w.chckSwitch.value(), 1);  // the box still changes; only no handler runs
    EXPECT_EQ(w.cboEntries.text(), "Dial 1");
}

TEST_F(FormsContract, ClosingTheLastWindowRequestsQuit) {
    Window& a = shown();
    OtherWindow& b = shown<OtherWindow>();

    ui.closeForm(a.native());
    ui.doEvents();
    EXPECT_EQ(app.loadedForms(), (std::vector<Form*>{&b}));
    EXPECT_FALSE(ui.quitRequested());

    ui.closeForm(b.native());
    ui.doEvents();
    EXPECT_TRUE(app.loadedForms().empty());
    EXPECT_TRUE(ui.quitRequested());
}

// The sequences the system sends, Wine's and Windows' alike, with the list's selection at each: every
// pick is reported once, in either order; item 0 was picked before.
TEST(ComboPicks, EachPickIsReportedOnceWhateverTheOrder) {
    using enum ComboNotice;
    struct Case {
        const char* what;
        std::vector<std::pair<ComboNotice, int>> notices;
        int picks;
    };
    const Case cases[] = {
        {"mouse, change first", {{DropDown, 0}, {SelectionChange, 1}, {SelectionEndOk, 1}}, 1},
        {"mouse, ended OK first", {{DropDown, 0}, {SelectionEndOk, 1}, {SelectionChange, 1}}, 1},
        {"arrow key, change only", {{SelectionChange, 1}}, 1},
        {"arrow key, ended OK first", {{SelectionEndOk, 1}, {SelectionChange, 1}}, 1},
        {"the selected item picked again", {{DropDown, 0}, {SelectionEndOk, 0}, {SelectionChange, 0}}, 0},
        {"list closed by its button", {{DropDown, 0}, {SelectionEndOk, 0}}, 0},
        {"list closed elsewhere", {{DropDown, 0}, {SelectionEndCancel, 0}, {SelectionChange, 0}}, 0},
        {"no selection", {{SelectionChange, kNoSelection}, {SelectionEndOk, kNoSelection}}, 0},
    };
    for (const Case& c : cases) {
        ComboPickFilter f;
        f.isPick(SelectionChange, 0);
        int picks = 0;
        for (const auto& [notice, selection] : c.notices) picks += f.isPick(notice, selection) ? 1 : 0;
        EXPECT_EQ(picks, c.picks) << c.what;
    }
}

TEST(ComboPicks, ArrowKeysInAnOpenListPickEachItemAndEnterAddsNothing) {
    using enum ComboNotice;
    ComboPickFilter f;
    EXPECT_FALSE(f.isPick(DropDown, 0));
    EXPECT_TRUE(f.isPick(SelectionChange, 1));
    EXPECT_TRUE(f.isPick(SelectionChange, 2));
    EXPECT_FALSE(f.isPick(SelectionEndOk, 2));
    // Typing selected item 1 without a change; an arrow key back to item 2 is a pick again.
    EXPECT_FALSE(f.isPick(EditChange, 1));
    EXPECT_TRUE(f.isPick(SelectionChange, 2));
    // Hovering over item 0 and closing the list without a pick reports the hovered item.
    EXPECT_FALSE(f.isPick(DropDown, 2));
    EXPECT_FALSE(f.isPick(SelectionEndCancel, 0));
    EXPECT_FALSE(f.isPick(SelectionChange, 0));
}

}  // namespace
}  // namespace kestrove::forms
