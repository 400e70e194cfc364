#pragma once
// Processes the program starts, and the Enter key it presses in other programs' windows.

#include <functional>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "platform/Services.h"
#include "platform/sim/SimWindows.h"

namespace kestrove::sim {

class SimProcesses final : public ProcessService {
  public:
    using StartHook = std::function<void(const std::string& commandLine, std::uint32_t processId)>;
    using EnterHook = std::function<void(WindowHandle window)>;

    SimProcesses(CallLog& log, SimWindows& windows) : log_(log), windows_(windows) {}

    void onStart(StartHook hook) { startHook_ = std::move(hook); }
    void onEnter(EnterHook hook) { enterHook_ = std::move(hook); }
    void setStartFails(bool fails) { startFails_ = fails; }
    void end(std::uint32_t processId, std::uint32_t exitCode);  // its windows close with it
    std::uint32_t spawn(std::uint32_t parentId);                // a process started by that one
    std::uint32_t run(std::string exeName);                     // one started by nobody watched
    const std::vector<std::uint32_t>& terminated() const { return terminated_; }
    const std::vector<std::string>& started() const { return started_; }
    const std::vector<WindowHandle>& enterTargets() const { return enterTargets_; }
    std::size_t held() const { return held_; }

    std::unique_ptr<StartedProcess> start(const std::string& commandLineAnsi, int showStyle,
                                          bool noConsoleWindow = false) override;
    void sendEnter(WindowHandle window) override;
    std::size_t processTree(std::uint32_t root, std::span<std::uint32_t> ids) override;
    std::size_t processesNamed(const char* exeNameAnsi, std::span<std::uint32_t> ids) override;

  private:
    class Started;

    CallLog& log_;
    SimWindows& windows_;
    StartHook startHook_;
    EnterHook enterHook_;
    bool startFails_ = false;
    std::uint32_t nextProcessId_ = 1000;
    std::set<std::uint32_t> running_;
    std::map<std::uint32_t, std::uint32_t> parents_;  // of running processes
    std::map<std::uint32_t, std::string> names_;      // of running processes started by run()
    std::map<std::uint32_t, std::uint32_t> exitCodes_;
    std::vector<std::uint32_t> terminated_;
    std::vector<std::string> started_;
    std::vector<WindowHandle> enterTargets_;
    std::size_t held_ = 0;
};

}  // namespace kestrove::sim
