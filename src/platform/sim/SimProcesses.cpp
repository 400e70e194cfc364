#include "platform/sim/SimProcesses.h"

#include "platform/sim/CallFormat.h"

namespace kestrove::sim {

void SimProcesses::end(std::uint32_t processId) {
    running_.erase(processId);
    windows_.removeProcessWindows(processId);
}

std::optional<std::uint32_t> SimProcesses::start(const std::string& commandLineAnsi, int showStyle) {
    log_.add("CreateProcessA(" + commandLineAnsi + ", " + std::to_string(showStyle) + ")");
    if (startFails_) return std::nullopt;
    const std::uint32_t processId = nextProcessId_ += 4;
    running_.insert(processId);
    started_.push_back(commandLineAnsi);
    // A copy: the hook may install another one while it runs.
    if (const StartHook hook = startHook_) hook(commandLineAnsi, processId);
    return processId;
}

bool SimProcesses::isRunning(std::uint32_t processId) {
    log_.add("GetExitCodeProcess(" + std::to_string(processId) + ")");
    return running_.contains(processId);
}

void SimProcesses::sendEnter(WindowHandle window) {
    log_.add("SendEnter(" + hex(window) + ")");
    enterTargets_.push_back(window);
    if (const EnterHook hook = enterHook_) hook(window);
}

}  // namespace kestrove::sim
