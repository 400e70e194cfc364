// The simulated backend on its own: virtual clock and timers, the queue, user input, pop-up menus and
// window geometry, driven directly without the forms core.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace kestrove::sim {
namespace {

using forms::ControlDesc;
using forms::ControlEvent;
using forms::FormDesc;
using forms::FormEvent;
using forms::MenuEntry;
using forms::MouseArgs;
using forms::NativeId;

struct TickRecorder final : forms::TimerSink {
    std::function<void()> onTick;
    void tick() override { onTick(); }
};

struct EventRecorder final : forms::FormEvents {
    std::vector<std::string> seen;
    std::function<void()> onControlEvent;
    void formEvent(FormEvent event, const MouseArgs&) override {
        seen.push_back("form " + std::to_string(static_cast<int>(event)));
    }
    void controlEvent(std::size_t index, ControlEvent event, const MouseArgs&) override {
        seen.push_back("control " + std::to_string(index) + " " + std::to_string(static_cast<int>(event)));
        if (onControlEvent) onControlEvent();
    }
};

class SimBackendTest : public ::testing::Test {
  protected:
    // A timer whose ticks are written down as "<name>@<time>".
    forms::TimerId start(TickRecorder& sink, unsigned interval, const std::string& name) {
        sink.onTick = [this, name] { ticks.push_back(name + "@" + std::to_string(ui.nowMs())); };
        return ui.startTimer(interval, sink);
    }

    CallLog log;
    SimBackend ui{log};
    std::vector<std::string> ticks;
};

TEST_F(SimBackendTest, TimersTickInTimeOrderEarliestFirst) {
    TickRecorder a, b;
    start(a, 30, "a");
    start(b, 20, "b");
    ui.advance(60);
    // At 60 both fall due; the one started first goes first.
    EXPECT_EQ(ticks, (std::vector<std::string>{"b@20", "a@30", "b@40", "a@60", "b@60"}));
    EXPECT_EQ(ui.nowMs(), 60u);
}

TEST_F(SimBackendTest, IntervalsBelowTheSystemMinimumRunEveryTenMilliseconds) {
    TickRecorder sink;
    start(sink, 1, "t");
    ui.advance(35);
    EXPECT_EQ(ticks, (std::vector<std::string>{"t@10", "t@20", "t@30"}));
    EXPECT_EQ(log.count("SetTimer(1)"), 1u);
}

TEST_F(SimBackendTest, ATimerStoppedByAnEarlierTickAtTheSameTimeDoesNotTick) {
    TickRecorder first, second;
    forms::TimerId secondId = 0;
    first.onTick = [&] {
        ticks.push_back("first@" + std::to_string(ui.nowMs()));
        if (secondId != 0) ui.stopTimer(std::exchange(secondId, 0));
    };
    ui.startTimer(100, first);
    secondId = start(second, 100, "second");
    ui.advance(200);
    EXPECT_EQ(ticks, (std::vector<std::string>{"first@100", "first@200"}));
}

TEST_F(SimBackendTest, WaitingLetsTimePassUpToTheNextTickAndIsNeverUndone) {
    TickRecorder sink;
    sink.onTick = [&] {
        ticks.push_back(std::to_string(ui.nowMs()));
        if (ticks.size() > 1) return;
        ui.waitForMessages(30);
        ticks.push_back("woke " + std::to_string(ui.nowMs()));
        ui.waitForMessages(500);  // the next tick is due at 200
        ticks.push_back("woke " + std::to_string(ui.nowMs()));
    };
    ui.startTimer(100, sink);
    ui.advance(100);
    // The tick that fell due while the handler waited follows at once.
    EXPECT_EQ(ticks, (std::vector<std::string>{"100", "woke 130", "woke 200", "200"}));
    EXPECT_EQ(ui.nowMs(), 200u);

    ui.post([] {});
    ui.waitForMessages(500);  // a message is waiting: no time passes
    EXPECT_EQ(ui.nowMs(), 200u);
}

TEST_F(SimBackendTest, ADoEventsInsideATickDoesNotTickTheSameTimerAgain) {
    TickRecorder sink;
    sink.onTick = [&] {
        ticks.push_back(std::to_string(ui.nowMs()));
        ui.doEvents();
        ui.doEvents();
    };
    ui.startTimer(10, sink);
    ui.advance(30);
    EXPECT_EQ(ticks, (std::vector<std::string>{"10", "20", "30"}));
}

TEST_F(SimBackendTest, QueuedMessagesComeFirstAndDoEventsLeavesTheClockAlone) {
    TickRecorder sink;
    start(sink, 10, "t");
    ui.post([&] { ticks.push_back("message"); });
    ui.doEvents();
    EXPECT_EQ(ticks, (std::vector<std::string>{"message"}));

    ui.post([&] { ticks.push_back("second message"); });
    ui.advance(10);
    EXPECT_EQ(ticks, (std::vector<std::string>{"message", "second message", "t@10"}));
}

TEST_F(SimBackendTest, TheMessageLoopStopsAtQuit) {
    ui.post([&] {
        ticks.push_back("one");
        ui.quit();
    });
    ui.post([&] { ticks.push_back("two"); });
    ui.runMessageLoop();
    EXPECT_EQ(ticks, (std::vector<std::string>{"one"}));
    EXPECT_TRUE(ui.quitRequested());
}

FormDesc formDesign(std::string name, TwipSize client, bool centred = true) {
    FormDesc d;
    d.name = std::move(name);
    d.client = client;
    d.centred = centred;
    return d;
}

ControlDesc controlDesign(forms::ControlKind kind, std::string name, int tabIndex) {
    ControlDesc d;
    d.kind = kind;
    d.name = std::move(name);
    d.text = d.name;
    d.tabIndex = tabIndex;
    return d;
}

class SimInputTest : public SimBackendTest {
  protected:
    SimInputTest() {
        form = ui.createForm(formDesign("frmMain", {3001, 2000}), events);
        button = ui.createControl(form, 0, controlDesign(forms::ControlKind::Button, "cmdGo", 2));
        combo = ui.createControl(form, 1, controlDesign(forms::ControlKind::ComboBox, "Combo1", 1));
        ui.addItem(combo, "Dial 1");
        ui.addItem(combo, "Dial 2");
    }

    EventRecorder events;
    NativeId form = 0, button = 0, combo = 0;
};

TEST_F(SimInputTest, InputWaitsInTheQueueAndIsDroppedWhenItsWindowIsGone) {
    ui.click(button);
    ui.clickForm(form);
    EXPECT_TRUE(events.seen.empty());
    ui.doEvents();
    EXPECT_EQ(events.seen, (std::vector<std::string>{"control 0 0", "form 0"}));

    events.seen.clear();
    ui.click(button);
    ui.closeForm(form);
    ui.destroyForm(form);
    ui.doEvents();
    EXPECT_TRUE(events.seen.empty());
    EXPECT_EQ(ui.control(button), nullptr);
}

TEST_F(SimInputTest, PickSetsTheTextBeforeClickAndTypingOnlyReportsTheText) {
    std::string textAtClick;
    events.onControlEvent = [&] { textAtClick = ui.text(combo); };
    ui.pick(combo, 1);
    ui.doEvents();
    EXPECT_EQ(textAtClick, "Dial 2");
    EXPECT_EQ(events.seen, (std::vector<std::string>{"control 1 0"}));

    ui.type(combo, "Other");
    ui.doEvents();
    EXPECT_EQ(ui.text(combo), "Other");
    EXPECT_EQ(events.seen, (std::vector<std::string>{"control 1 0", "control 1 4"}));  // no second Click
    EXPECT_THROW(ui.pick(combo, 2), std::out_of_range);
}

TEST_F(SimInputTest, PopupChoiceIsFoundInSubmenusAndUsedOnce) {
    const std::vector<MenuEntry> menu{
        {"Restore Window", 1, {}}, {"More", 2, {{"Deep", 3, {}}}}, {"-", 4, {}}, {"Exit", 5, {}}};
    ui.choosePopupItem("Deep");
    EXPECT_EQ(ui.popupMenu(form, menu), 3);
    EXPECT_EQ(ui.popupMenu(form, menu), 0);
    ui.choosePopupItem("Missing");
    EXPECT_EQ(ui.popupMenu(form, menu), 0);
    EXPECT_EQ(ui.lastPopup().size(), 4u);
    EXPECT_EQ(log.count("TrackPopupMenu"), 3u);

    // The menu's modal loop handles what was already queued.
    ui.click(button);
    ui.popupMenu(form, menu);
    EXPECT_EQ(events.seen, (std::vector<std::string>{"control 0 0"}));
}

TEST_F(SimInputTest, FormsStartInTheCornerWithDistinctHandlesAndFocusTheFirstTabStop) {
    // Like the system's, a new window is not centred: whoever wants it centred moves it.
    const SimForm* main = ui.form(form);
    EXPECT_EQ(main->rect.left, 0.0f);
    EXPECT_EQ(main->rect.top, 0.0f);
    EXPECT_EQ(main->rect.width, 3001.0f);

    EventRecorder otherEvents;
    const NativeId corner = ui.createForm(formDesign("frmEgg", {1000, 1000}, false), otherEvents);
    EXPECT_NE(ui.windowHandle(form), ui.windowHandle(corner));
    EXPECT_NE(ui.iconHandle(form), 0u);
    EXPECT_NE(ui.iconHandle(form), ui.iconHandle(corner));

    ui.showForm(form);
    EXPECT_EQ(ui.form(form)->focus, combo);
    EXPECT_EQ(ui.controlNamed("frmMain", "cmdGo")->id, button);
    EXPECT_EQ(ui.forms().size(), 2u);
}

}  // namespace
}  // namespace kestrove::sim
