#include "platform/forms/Controls.h"

#include <utility>

#include "platform/forms/Application.h"
#include "platform/forms/Form.h"

namespace kestrove::forms {

namespace {

ControlDesc ofKind(ControlDesc desc, ControlKind kind) {
    desc.kind = kind;
    return desc;
}

}  // namespace

ControlDesc design(std::string name, TwipRect rect, std::string text) {
    ControlDesc d;
    d.name = std::move(name);
    d.rect = rect;
    d.text = std::move(text);
    return d;
}

Control::Control(Form& owner, ControlDesc desc) : desc_(std::move(desc)), owner_(owner) {
    owner_.registerControl(*this);
}

Backend* Control::backend() const { return native_ != 0 ? owner_.backend() : nullptr; }

void Control::create(Backend& backend, NativeId form, std::size_t index) {
    native_ = backend.createControl(form, index, desc_);
}

void Control::userEvent(ControlEvent event, const MouseArgs& args) {
    const auto run = [&](const std::function<void(const MouseArgs&)>& handler) {
        if (handler) handler(args);
    };
    switch (event) {
        case ControlEvent::Click:
            if (onClick) onClick();
            break;
        case ControlEvent::MouseDown:
            run(onMouseDown);
            break;
        case ControlEvent::MouseUp:
            run(onMouseUp);
            break;
        case ControlEvent::MouseMove:
            run(onMouseMove);
            break;
        case ControlEvent::TextChanged:
            break;
    }
}

void Control::setLeft(Twips left) {
    desc_.rect.left = left;
    moved();
}

void Control::setTop(Twips top) {
    desc_.rect.top = top;
    moved();
}

void Control::moved() {
    if (Backend* b = backend()) b->moveControl(native_, desc_.rect);
}

void Control::setVisible(bool visible) {
    desc_.visible = visible;
    if (Backend* b = backend()) b->setControlVisible(native_, visible);
}

void Control::setToolTip(const std::string& text) {
    desc_.toolTip = text;
    if (Backend* b = backend()) b->setToolTip(native_, text);
}

CheckBox::CheckBox(Form& owner, ControlDesc desc)
    : Control(owner, ofKind(std::move(desc), ControlKind::CheckBox)) {}

void CheckBox::create(Backend& backend, NativeId form, std::size_t index) {
    Control::create(backend, form, index);
    if (value_ != 0) backend.setCheck(native(), value_);
}

void CheckBox::setValue(int value) {
    if (value < 0 || value > 2) throw InvalidPropertyValue();
    if (value == value_) return;
    value_ = static_cast<std::int16_t>(value);
    if (Backend* b = backend()) b->setCheck(native(), value_);
    if (onClick) onClick();
}

void CheckBox::userEvent(ControlEvent event, const MouseArgs& args) {
    // A click by the user is a change of value; the value change raises the one Click.
    if (event == ControlEvent::Click) {
        setValue(value_ == 1 ? 0 : 1);
        return;
    }
    Control::userEvent(event, args);
}

ComboBox::ComboBox(Form& owner, ControlDesc desc)
    : Control(owner, ofKind(std::move(desc), ControlKind::ComboBox)) {}

void ComboBox::create(Backend& backend, NativeId form, std::size_t index) {
    Control::create(backend, form, index);
    for (const auto& item : items_) backend.addItem(native(), item);
}

void ComboBox::reread() {
    if (Backend* b = backend()) b->readText(native(), desc_.text);
}

void ComboBox::userEvent(ControlEvent event, const MouseArgs& args) {
    // A pick's text is in place before its Click: the handler sees the item picked.
    if (event == ControlEvent::TextChanged) {
        reread();
        return;
    }
    if (event == ControlEvent::Click) reread();
    Control::userEvent(event, args);
}

void ComboBox::setText(const std::string& text) {
    desc_.text = text;
    if (Backend* b = backend()) {
        b->setText(native(), text);
        reread();  // the control may keep less than it was given
    }
}

void ComboBox::addItem(const std::string& item) {
    items_.push_back(item);
    if (Backend* b = backend()) b->addItem(native(), item);
}

CommandButton::CommandButton(Form& owner, ControlDesc desc)
    : Control(owner, ofKind(std::move(desc), ControlKind::Button)) {}

Label::Label(Form& owner, ControlDesc desc) : Control(owner, ofKind(std::move(desc), ControlKind::Label)) {}

void Label::setCaption(const std::string& caption) {
    desc_.text = caption;
    if (Backend* b = backend()) b->setText(native(), caption);
}

Image::Image(Form& owner, ControlDesc desc) : Control(owner, ofKind(std::move(desc), ControlKind::Image)) {}

void Image::create(Backend& backend, NativeId form, std::size_t index) {
    if (desc_.picture != Picture::None) {
        const TwipSize natural = backend.pictureSize(desc_.picture);
        desc_.rect.width = natural.width;
        desc_.rect.height = natural.height;
    }
    Control::create(backend, form, index);
}

Timer::Timer(Form& owner, unsigned intervalMs, bool enabled)
    : owner_(owner), intervalMs_(intervalMs), enabled_(enabled) {
    owner_.registerTimer(*this);
}

Timer::~Timer() {
    stop();
    owner_.unregisterTimer(*this);
}

void Timer::setEnabled(bool enabled) {
    if (enabled == enabled_) return;  // keeps the running interval
    enabled_ = enabled;
    if (enabled_) {
        start();
    } else {
        stop();
    }
}

void Timer::start() {
    if (running_ == 0 && owner_.loaded()) running_ = owner_.backend()->startTimer(intervalMs_, *this);
}

void Timer::stop() {
    if (running_ != 0) owner_.backend()->stopTimer(std::exchange(running_, 0));
}

void Timer::tick() {
    // Ticks wait while any window loads; the next one comes an interval later.
    if (!enabled_ || owner_.app().loading()) return;
    owner_.app().dispatch([this] {
        if (onTimer) onTimer();
    });
}

}  // namespace kestrove::forms
