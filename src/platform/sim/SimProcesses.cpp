#include "platform/sim/SimProcesses.h"

#include "platform/sim/CallFormat.h"

namespace kestrove::sim {

void SimProcesses::end(std::uint32_t processId) {
    running_.erase(processId);
    windows_.removeProcessWindows(processId);
}

class SimProcesses::Started final : public StartedProcess {
  public:
    Started(SimProcesses& owner, std::uint32_t id) : owner_(owner), id_(id) { ++owner_.held_; }
    ~Started() override { --owner_.held_; }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    std::uint32_t id() const override { return id_; }
    bool running() override {
        owner_.log_.add("WaitForSingleObject(" + std::to_string(id_) + ", 0)");
        return owner_.running_.contains(id_);
    }

  private:
    SimProcesses& owner_;
    std::uint32_t id_;
};

std::unique_ptr<StartedProcess> SimProcesses::start(const std::string& commandLineAnsi, int showStyle) {
    log_.add("CreateProcessA(" + commandLineAnsi + ", " + std::to_string(showStyle) + ")");
    if (startFails_) return nullptr;
    const std::uint32_t processId = nextProcessId_ += 4;
    running_.insert(processId);
    started_.push_back(commandLineAnsi);
    auto started = std::make_unique<Started>(*this, processId);
    // A copy: the hook may install another one while it runs.
    if (const StartHook hook = startHook_) hook(commandLineAnsi, processId);
    return started;
}

void SimProcesses::sendEnter(WindowHandle window) {
    log_.add("SendEnter(" + hex(window) + ")");
    enterTargets_.push_back(window);
    if (const EnterHook hook = enterHook_) hook(window);
}

}  // namespace kestrove::sim
