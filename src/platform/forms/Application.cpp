#include "platform/forms/Application.h"

#include <algorithm>

#include "platform/ScopeExit.h"

namespace kestrove::forms {

namespace {

// The system asks every program before it goes on, and says how it went right after; half a minute
// without word means it went on without this program (a close request it survived).
constexpr std::uint32_t kSessionAnswerMs = 30'000;

}  // namespace

Application::Application(Backend& backend) : backend_(backend) {}

Application::~Application() {
    // Windows go before the backend that holds them.
    while (!loaded_.empty()) unloadForm(*loaded_.back());
    unloaded_.clear();
    instances_.clear();
}

void Application::loadForm(Form& form) {
    if (startup_ == nullptr) startup_ = &form;
    loaded_.push_back(&form);
    form.create();
    ++loadingDepth_;
    form.loading_ = true;
    const ScopeExit end([&] {
        form.loading_ = false;
        --loadingDepth_;
    });
    form.Form_Load();
}

void Application::unloadForm(Form& form) {
    const auto at = std::find(loaded_.begin(), loaded_.end(), &form);
    if (at == loaded_.end()) return;
    loaded_.erase(at);
    if (&form == startup_) startupClosed_ = true;
    form.destroy();
    const auto owner = std::find_if(instances_.begin(), instances_.end(),
                                    [&](const std::unique_ptr<Form>& p) { return p.get() == &form; });
    if (owner != instances_.end()) {
        unloaded_.push_back(std::move(*owner));
        instances_.erase(owner);
    }
    if (handlerDepth_ == 0) collect();
    if (loaded_.empty()) backend().quit();
}

void Application::collect() { unloaded_.clear(); }

void Application::dispatch(const std::function<void()>& handler) {
    ++handlerDepth_;
    try {
        handler();
    } catch (...) {
        ++unhandledErrors_;
    }
    if (--handlerDepth_ == 0) collect();
}

bool Application::sessionEnding() const {
    return sessionAsked_ && backend_.tickCount() - sessionAskedAt_ < kSessionAnswerMs;
}

// An ended session ends the program: whichever window hears it first, every window undoes what it must,
// then all are unloaded, as when the last window closes; nothing is saved.
void Application::sessionEvent(FormEvent event) {
    sessionAsked_ = event == FormEvent::SessionEnding;
    sessionAskedAt_ = backend_.tickCount();
    if (event != FormEvent::SessionEnded) return;
    const auto stillLoaded = [this](const Form* form) {
        return std::find(loaded_.begin(), loaded_.end(), form) != loaded_.end();
    };
    const std::vector<Form*> loaded = loaded_;
    for (Form* form : loaded) {
        if (stillLoaded(form) && form->onSessionEnd) form->onSessionEnd();
    }
    for (Form* form : std::vector<Form*>(loaded_)) form->unload();
}

void Application::doEvents() { backend().doEvents(); }

void Application::run() {
    if (!loaded_.empty()) backend().runMessageLoop();
}

}  // namespace kestrove::forms
