#pragma once
// Controls with the behaviour the windows rely on: a value set from code raises the same event as the
// user, a check box accepts only 0..2, a timer keeps its running interval when enabled again.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/Backend.h"

namespace kestrove::forms {

class Form;

// A control's design: its name, place and text, the rest at the defaults.
ControlDesc design(std::string name, TwipRect rect, std::string text = {});

class Control {
  public:
    Control(Form& owner, ControlDesc desc);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& name() const { return desc_.name; }
    const ControlDesc& desc() const { return desc_; }
    NativeId native() const { return native_; }

    TwipRect rect() const { return desc_.rect; }
    void setLeft(Twips left);
    void setTop(Twips top);
    bool visible() const { return desc_.visible; }
    void setVisible(bool visible);
    const std::string& toolTip() const { return desc_.toolTip; }
    void setToolTip(const std::string& text);  // empty: none

    std::function<void()> onClick;
    std::function<void(const MouseArgs&)> onMouseDown, onMouseUp, onMouseMove;

  protected:
    Backend* backend() const;  // null until the form is loaded
    // Overrides extend these and call them.
    virtual void create(Backend& backend, NativeId form, std::size_t index);
    virtual void userEvent(ControlEvent event, const MouseArgs& args);
    ControlDesc desc_;

  private:
    friend class Form;
    void destroyed() { native_ = 0; }
    void moved();

    Form& owner_;
    NativeId native_ = 0;
};

class CheckBox : public Control {
  public:
    CheckBox(Form& owner, ControlDesc desc);
    std::int16_t value() const { return value_; }
    // Raises Click when the value changes; throws InvalidPropertyValue outside 0..2.
    void setValue(int value);

  private:
    void create(Backend& backend, NativeId form, std::size_t index) override;
    void userEvent(ControlEvent event, const MouseArgs& args) override;
    std::int16_t value_ = 0;
};

class ComboBox : public Control {
  public:
    ComboBox(Form& owner, ControlDesc desc);
    // The text as the control holds it: read again whenever the control reports a change and after
    // every text set from code, so that reading it here costs no trip to the control.
    const std::string& text() const { return desc_.text; }
    void setText(const std::string& text);  // not a pick from the list: raises nothing
    void addItem(const std::string& item);
    const std::vector<std::string>& list() const { return items_; }  // as the code filled it

  private:
    void create(Backend& backend, NativeId form, std::size_t index) override;
    void userEvent(ControlEvent event, const MouseArgs& args) override;
    void reread();
    std::vector<std::string> items_;
};

class CommandButton : public Control {
  public:
    CommandButton(Form& owner, ControlDesc desc);
};

class Label : public Control {
  public:
    Label(Form& owner, ControlDesc desc);
    const std::string& caption() const { return desc_.text; }
    void setCaption(const std::string& caption);
};

// A picture shown at its natural size unless it has none.
class Image : public Control {
  public:
    Image(Form& owner, ControlDesc desc);

  private:
    void create(Backend& backend, NativeId form, std::size_t index) override;
};

class Timer : private TimerSink {
  public:
    Timer(Form& owner, unsigned intervalMs, bool enabled);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    bool enabled() const { return enabled_; }
    // Only a change from disabled to enabled starts a new interval.
    void setEnabled(bool enabled);
    unsigned interval() const { return intervalMs_; }

    std::function<void()> onTimer;

  private:
    friend class Form;
    void start();
    void stop();
    void tick() override;

    Form& owner_;
    unsigned intervalMs_;
    bool enabled_;
    TimerId running_ = 0;
};

// A menu tree defined with its window; shown only as a pop-up.
class MenuItem {
  public:
    MenuItem(std::string caption, bool visible = true) : caption_(std::move(caption)), visible_(visible) {}
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& caption() const { return caption_; }
    bool visible() const { return visible_; }
    void add(MenuItem& child) { children_.push_back(&child); }
    const std::vector<MenuItem*>& children() const { return children_; }

    std::function<void()> onClick;

  private:
    std::string caption_;
    bool visible_;
    std::vector<MenuItem*> children_;
};

}  // namespace kestrove::forms
