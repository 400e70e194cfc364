#pragma once
// A window of the program: owns its controls (as members of the derived class), its decoration and
// its timers. Created and loaded the first time it is shown, destroyed with all its state on unload.

#include <functional>
#include <string>
#include <vector>

#include "platform/forms/Backend.h"
#include "platform/forms/Controls.h"

namespace kestrove::forms {

class Application;

class Form : private FormEvents {
  public:
    Form(Application& app, FormDesc desc);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    const std::string& name() const { return desc_.name; }
    const FormDesc& desc() const { return desc_; }
    Application& app() const { return app_; }
    bool loaded() const { return native_ != 0; }
    NativeId native() const { return native_; }

    void show();  // loads first if needed; later calls only bring the window forward
    void hide();
    void unload();  // destroys the window; this object goes away once the running handler returns
    bool visible() const;

    // Outer rectangle in screen twips.
    TwipRect rect() const;
    void setLeft(Twips left);
    void setTop(Twips top);
    void setWidth(Twips width);
    void setHeight(Twips height);

    WindowHandle hWnd() const;
    IconHandle icon() const;

    // Opens the menu's visible children at the mouse position; returns after the chosen item's handler ran.
    void popupMenu(MenuItem& menu);

    std::function<void()> onClick;
    std::function<void(const MouseArgs&)> onMouseMove;
    std::function<void()> onActivateRequest;
    std::function<void()> onPowerResume;  // the machine woke up: time has passed that no timer saw

  protected:
    virtual void Form_Load() {}
    void addDecoration(Decoration shape) { decorations_.push_back(shape); }

  private:
    friend class Control;
    friend class Timer;
    friend class Application;

    void registerControl(Control& control) { controls_.push_back(&control); }
    void registerTimer(Timer& timer) { timers_.push_back(&timer); }
    void unregisterTimer(Timer& timer);
    Backend* backend() const;

    void moveTo(const TwipRect& outer);
    void create();   // native window, controls, decoration, timers
    void destroy();  // the reverse; the object stays until the application deletes it

    void formEvent(FormEvent event, const MouseArgs& args) override;
    void controlEvent(std::size_t controlIndex, ControlEvent event, const MouseArgs& args) override;

    Application& app_;
    const void* kind_ = nullptr;  // set by the application when it creates the window
    FormDesc desc_;
    NativeId native_ = 0;
    bool hiddenDuringLoad_ = false;
    bool loading_ = false;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
    std::vector<Decoration> decorations_;
};

}  // namespace kestrove::forms
