#pragma once
// The process's windows: at most one instance of each window class, the loaded-windows list, the
// message loop and DoEvents. Handlers run one at a time on the one thread.

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/EventPump.h"
#include "platform/forms/Backend.h"
#include "platform/forms/Form.h"

namespace kestrove::forms {

class Application final : public EventPump {
  public:
    explicit Application(Backend& backend);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application();

    Backend& backend() const { return backend_; }

    // The window's one instance, created (not loaded) on first use and afresh after an unload; args
    // go to its constructor after the application, and only when it is created.
    template <class F, class... Args>
    F& form(Args&&... args) {
        for (auto& instance : instances_) {
            if (instance->kind_ == kindOf<F>()) return static_cast<F&>(*instance);
        }
        auto created = std::make_unique<F>(*this, std::forward<Args>(args)...);
        F& ref = *created;
        ref.kind_ = kindOf<F>();
        instances_.push_back(std::move(created));
        return ref;
    }
    // The instance when it is loaded, else null.
    template <class F>
    F* loadedForm() const {
        for (Form* f : loaded_) {
            if (f->kind_ == kindOf<F>()) return static_cast<F*>(f);
        }
        return nullptr;
    }

    const std::vector<Form*>& loadedForms() const { return loaded_; }
    bool loading() const { return loadingDepth_ > 0; }
    // The system has asked whether the session may end and not yet said how it went. A close request
    // the program survives may never be answered: the question then lapses after a while.
    bool sessionEnding() const;

    // EventPump
    void doEvents() override;
    void waitForEvents(unsigned maxMs) override { backend_.waitForMessages(maxMs); }
    std::uint32_t tickCount() override { return backend_.tickCount(); }
    bool closing() const override { return startupClosed_; }

    void run();  // the message loop; returns when the last window has been unloaded

    // Runs one event handler. Nested calls are allowed (DoEvents, pop-up menus); windows unloaded
    // inside are deleted when the outermost handler returns. An error escaping a handler ends that
    // handler only: it must not cross into the system's callback.
    void dispatch(const std::function<void()>& handler);
    unsigned unhandledErrors() const { return unhandledErrors_; }

  private:
    friend class Form;
    // One address per window class names its instances, so that the program needs no run-time type
    // information.
    template <class F>
    static const void* kindOf() {
        static const char kind = 0;
        return &kind;
    }
    void loadForm(Form& form);
    void unloadForm(Form& form);
    void collect();
    void sessionEvent(FormEvent event);

    Backend& backend_;
    std::vector<std::unique_ptr<Form>> instances_;
    std::vector<std::unique_ptr<Form>> unloaded_;  // waiting for the running handler to return
    std::vector<Form*> loaded_;
    const Form* startup_ = nullptr;  // the first window loaded
    bool startupClosed_ = false;
    int loadingDepth_ = 0;
    int handlerDepth_ = 0;
    unsigned unhandledErrors_ = 0;
    bool sessionAsked_ = false;
    std::uint32_t sessionAskedAt_ = 0;
};

}  // namespace kestrove::forms
