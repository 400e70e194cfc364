#include "platform/forms/Form.h"

#include <algorithm>
#include <map>
#include <utility>

#include "platform/forms/Application.h"

namespace kestrove::forms {

Form::Form(Application& app, FormDesc desc) : app_(app), desc_(std::move(desc)) {}

Form::~Form() {
    // The application unloads every window before deleting it; this is only a last resort, and the
    // derived class's controls are already gone here.
    if (loaded()) app_.backend().destroyForm(native_);
}

Backend* Form::backend() const { return &app_.backend(); }

void Form::unregisterTimer(Timer& timer) { std::erase(timers_, &timer); }

void Form::create() {
    Backend& b = app_.backend();
    native_ = b.createForm(desc_, *this);
    // Centred from the start: a window that its load hides into the tray is already where it will appear.
    if (desc_.centred) {
        TwipRect outer = b.formRect(native_);
        const TwipSize screen = b.screenSize();
        outer.left = (screen.width - outer.width) / 2;
        outer.top = (screen.height - outer.height) / 2;
        b.moveForm(native_, outer);
    }
    for (std::size_t i = 0; i < controls_.size(); ++i) controls_[i]->create(b, native_, i);
    if (!decorations_.empty()) b.setDecorations(native_, decorations_);
    for (Timer* timer : timers_) {
        if (timer->enabled()) timer->start();
    }
}

void Form::destroy() {
    for (Timer* timer : timers_) timer->stop();
    app_.backend().destroyForm(std::exchange(native_, 0));
    for (Control* control : controls_) control->destroyed();
}

void Form::show() {
    if (!loaded()) {
        app_.loadForm(*this);
        // A window the load handler hid (into the tray) stays hidden.
        if (std::exchange(hiddenDuringLoad_, false) || !loaded()) return;
    }
    app_.backend().showForm(native_);
}

void Form::hide() {
    if (!loaded()) app_.loadForm(*this);
    if (loading_) hiddenDuringLoad_ = true;
    if (loaded()) app_.backend().hideForm(native_);
}

void Form::unload() { app_.unloadForm(*this); }

bool Form::visible() const { return loaded() && app_.backend().formVisible(native_); }

TwipRect Form::rect() const {
    if (!loaded()) return {0, 0, desc_.client.width, desc_.client.height};
    return app_.backend().formRect(native_);
}

void Form::moveTo(const TwipRect& outer) {
    if (loaded()) app_.backend().moveForm(native_, outer);
}

void Form::setLeft(Twips left) {
    TwipRect r = rect();
    r.left = left;
    moveTo(r);
}

void Form::setTop(Twips top) {
    TwipRect r = rect();
    r.top = top;
    moveTo(r);
}

void Form::setWidth(Twips width) {
    TwipRect r = rect();
    r.width = width;
    moveTo(r);
}

void Form::setHeight(Twips height) {
    TwipRect r = rect();
    r.height = height;
    moveTo(r);
}

WindowHandle Form::hWnd() const { return loaded() ? app_.backend().windowHandle(native_) : 0; }

IconHandle Form::icon() const { return loaded() ? app_.backend().iconHandle(native_) : 0; }

namespace {

std::vector<MenuEntry> visibleEntries(const MenuItem& menu, std::map<int, MenuItem*>& byCommand) {
    std::vector<MenuEntry> entries;
    for (MenuItem* item : menu.children()) {
        if (!item->visible()) continue;
        MenuEntry entry{item->caption(), static_cast<int>(byCommand.size()) + 1, {}};
        byCommand[entry.command] = item;
        entry.children = visibleEntries(*item, byCommand);
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace

void Form::popupMenu(MenuItem& menu) {
    if (!loaded()) return;
    std::map<int, MenuItem*> byCommand;
    const auto entries = visibleEntries(menu, byCommand);
    const int chosen = app_.backend().popupMenu(native_, entries);
    const auto it = byCommand.find(chosen);
    if (it != byCommand.end() && it->second->onClick) app_.dispatch(it->second->onClick);
}

void Form::formEvent(FormEvent event, const MouseArgs& args) {
    app_.dispatch([&] {
        switch (event) {
            case FormEvent::Click:
                if (onClick) onClick();
                break;
            case FormEvent::MouseMove:
                if (onMouseMove) onMouseMove(args);
                break;
            case FormEvent::CloseRequested:
                unload();  // no window has a close handler
                break;
            case FormEvent::ActivateRequested:
                if (onActivateRequest) onActivateRequest();
                break;
            case FormEvent::PowerResumed:
                if (onPowerResume) onPowerResume();
                break;
            case FormEvent::SessionEnding:
            case FormEvent::SessionContinues:
                app_.sessionEnding_ = event == FormEvent::SessionEnding;
                break;
        }
    });
}

void Form::controlEvent(std::size_t controlIndex, ControlEvent event, const MouseArgs& args) {
    if (controlIndex >= controls_.size()) return;
    app_.dispatch([&] { controls_[controlIndex]->userEvent(event, args); });
}

}  // namespace kestrove::forms
