// The simulated message queue, virtual clock and timers, and the user's input as queued messages.

#include <algorithm>
#include <stdexcept>

#include "platform/sim/SimPlatform.h"

namespace kestrove::sim {

using forms::ComboNotice;
using forms::ControlEvent;
using forms::FormEvent;
using forms::MouseArgs;
using forms::NativeId;
using forms::TimerId;

namespace {

constexpr unsigned kMinimumIntervalMs = 10;  // the system raises shorter intervals to this

// The running timer that falls due first (the one started first among equals), or none.
template <class Timers>
auto earliest(Timers& timers) {
    auto first = timers.end();
    for (auto it = timers.begin(); it != timers.end(); ++it) {
        if (first == timers.end() || it->second.due < first->second.due) first = it;
    }
    return first;
}

}  // namespace

TimerId SimBackend::startTimer(unsigned intervalMs, forms::TimerSink& sink) {
    log_.add("SetTimer(" + std::to_string(intervalMs) + ")");
    const unsigned interval = std::max(intervalMs, kMinimumIntervalMs);
    const TimerId id = ++nextTimer_;
    timers_.emplace(id, RunningTimer{interval, now_ + interval, &sink});
    return id;
}

void SimBackend::stopTimer(TimerId timer) {
    log_.add("KillTimer");
    timers_.erase(timer);
}

void SimBackend::post(std::function<void()> message) { queue_.push_back(std::move(message)); }

bool SimBackend::handleOne() {
    // Input and posted messages come before timer ticks, as in the system's queue.
    if (!queue_.empty()) {
        auto message = std::move(queue_.front());
        queue_.pop_front();
        message();
        return true;
    }
    const auto due = earliest(timers_);
    if (due == timers_.end() || due->second.due > now_) return false;
    // The next interval is counted before the handler runs, so a nested DoEvents cannot tick it again;
    // the handler may stop or restart any timer, this one included.
    due->second.due += due->second.interval;
    due->second.sink->tick();
    return true;
}

void SimBackend::runPending() {
    while (handleOne()) {
    }
}

void SimBackend::advance(std::uint32_t ms) {
    const std::uint32_t target = now_ + ms;
    runPending();
    for (;;) {
        const auto next = earliest(timers_);
        if (next == timers_.end() || next->second.due > target) break;
        now_ = std::max(now_, next->second.due);
        runPending();
    }
    now_ = std::max(now_, target);  // a handler that waited may have gone past the target
}

void SimBackend::skipIdle(std::uint32_t ms) {
    now_ += ms;
    for (auto& [id, timer] : timers_) {
        if (timer.due <= now_) timer.due += ((now_ - timer.due) / timer.interval + 1) * timer.interval;
    }
}

void SimBackend::doEvents() {
    log_.add("DoEvents");
    runPending();
}

void SimBackend::waitForMessages(unsigned maxMs) {
    log_.add("MsgWaitForMultipleObjects(" + std::to_string(maxMs) + ")");
    if (!queue_.empty()) return;
    // Time passes while nothing happens: up to the next timer tick, or the whole wait.
    std::uint32_t until = now_ + maxMs;
    const auto next = earliest(timers_);
    if (next != timers_.end()) until = std::min(until, std::max(now_, next->second.due));
    now_ = until;
}

void SimBackend::runMessageLoop() {
    while (!quit_ && handleOne()) {
    }
}

void SimBackend::quit() {
    log_.add("PostQuitMessage");
    quit_ = true;
}

void SimBackend::postFormEvent(NativeId form, FormEvent event) {
    post([this, form, event] {
        const auto target = forms_.find(form);
        if (target == forms_.end()) return;  // the window is gone
        target->second.events->formEvent(event, MouseArgs{});
    });
}

void SimBackend::postControlEvent(NativeId control, ControlEvent event, MouseArgs args) {
    post([this, control, event, args] {
        const auto target = controls_.find(control);
        if (target == controls_.end()) return;  // the control went with its window
        const std::size_t index = target->second.index;
        forms_.at(target->second.form).events->controlEvent(index, event, args);
    });
}

void SimBackend::click(NativeId control) { postControlEvent(control, ControlEvent::Click, {}); }

void SimBackend::postComboNotices(NativeId combo, std::optional<std::size_t> select,
                                  std::vector<ComboNotice> notices) {
    if (select && *select >= liveControl(combo).items.size())
        throw std::out_of_range("no such item in the list");
    post([this, combo, select, notices] {
        if (select && controls_.contains(combo)) controls_.at(combo).selected = static_cast<int>(*select);
        for (const ComboNotice notice : notices) {
            const auto target = controls_.find(combo);
            if (target == controls_.end()) return;  // a handler unloaded the window
            SimControl& c = target->second;
            if (!c.picks.isPick(notice, c.selected)) continue;
            c.text = c.items[static_cast<std::size_t>(c.selected)];
            forms_.at(c.form).events->controlEvent(c.index, ControlEvent::Click, {});
        }
    });
}

namespace {

std::vector<ComboNotice> pickNotices(PickOrder order) {
    if (order == PickOrder::ChangeFirst) return {ComboNotice::SelectionChange, ComboNotice::SelectionEndOk};
    return {ComboNotice::SelectionEndOk, ComboNotice::SelectionChange};
}

}  // namespace

void SimBackend::pick(NativeId combo, std::size_t index, PickOrder order) {
    if (index >= liveControl(combo).items.size()) throw std::out_of_range("no such item in the list");
    postComboNotices(combo, std::nullopt, {ComboNotice::DropDown});
    postComboNotices(combo, index, pickNotices(order));
}

void SimBackend::arrowTo(NativeId combo, std::size_t index, PickOrder order) {
    postComboNotices(combo, index, pickNotices(order));
}

void SimBackend::dismissList(NativeId combo) {
    // Closed by its button, the list reports "ended OK"; closed by a click elsewhere, Wine's reports
    // "ended cancel" and a selection change back to the item it had.
    postComboNotices(combo, std::nullopt, {ComboNotice::DropDown});
    postComboNotices(combo, std::nullopt, {ComboNotice::SelectionEndOk});
    postComboNotices(combo, std::nullopt, {ComboNotice::DropDown});
    postComboNotices(combo, std::nullopt, {ComboNotice::SelectionEndCancel, ComboNotice::SelectionChange});
}

void SimBackend::type(NativeId combo, const std::string& text) {
    post([this, combo, text] {
        const auto target = controls_.find(combo);
        if (target == controls_.end()) return;
        SimControl& c = target->second;
        c.text = text;
        c.picks.isPick(ComboNotice::EditChange, c.selected);
        forms_.at(c.form).events->controlEvent(c.index, ControlEvent::TextChanged, {});
    });
}

void SimBackend::clearList(NativeId combo) {
    post([this, combo] {
        const auto target = controls_.find(combo);
        if (target == controls_.end()) return;
        SimControl& c = target->second;
        c.items.clear();
        c.text.clear();
        c.selected = forms::kNoSelection;
        forms_.at(c.form).events->controlEvent(c.index, ControlEvent::TextChanged, {});
    });
}

void SimBackend::mouse(NativeId control, ControlEvent event, int button, int shift) {
    postControlEvent(control, event, MouseArgs{button, shift, 0, 0});
}

void SimBackend::clickForm(NativeId form) { postFormEvent(form, FormEvent::Click); }

void SimBackend::moveOverForm(NativeId form) { postFormEvent(form, FormEvent::MouseMove); }

void SimBackend::closeForm(NativeId form) { postFormEvent(form, FormEvent::CloseRequested); }

void SimBackend::askToActivate(NativeId form) { postFormEvent(form, FormEvent::ActivateRequested); }

void SimBackend::queryEndSession() {
    for (const auto& [id, form] : forms_) postFormEvent(id, FormEvent::SessionEnding);
}

void SimBackend::endSession(bool ends) {
    queryEndSession();
    for (const auto& [id, form] : forms_) {
        postFormEvent(id, ends ? FormEvent::SessionEnded : FormEvent::SessionContinues);
    }
}

void SimBackend::sleepMachine(std::uint32_t ms) {
    log_.add("Sleep(" + std::to_string(ms) + ")");
    now_ += ms;
    for (auto& [id, timer] : timers_) {
        if (timer.due < now_) timer.due = now_;  // no backlog: one tick, then its own pace again
    }
    for (const auto& [id, form] : forms_) postFormEvent(id, FormEvent::PowerResumed);
    while (!queue_.empty()) handleOne();  // the wake-up is sent, not queued behind the timers
}

}  // namespace kestrove::sim
