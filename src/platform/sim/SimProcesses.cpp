#include "platform/sim/SimProcesses.h"

#include <algorithm>
#include <cctype>

#include "platform/sim/CallFormat.h"

namespace kestrove::sim {

void SimProcesses::end(std::uint32_t processId, std::uint32_t exitCode) {
    if (running_.erase(processId) > 0) exitCodes_[processId] = exitCode;
    parents_.erase(processId);
    names_.erase(processId);
    windows_.removeProcessWindows(processId);
}

std::uint32_t SimProcesses::run(std::string exeName) {
    const std::uint32_t processId = nextProcessId_ += 4;
    running_.insert(processId);
    names_[processId] = std::move(exeName);
    return processId;
}

std::size_t SimProcesses::processesNamed(const char* exeNameAnsi, std::span<std::uint32_t> ids) {
    log_.add("CreateToolhelp32Snapshot(" + std::string(exeNameAnsi) + ")");
    const auto lower = [](std::string_view text) {
        std::string folded(text);
        for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return folded;
    };
    std::size_t count = 0;
    for (const auto& [processId, name] : names_) {
        if (count < ids.size() && lower(name) == lower(exeNameAnsi)) ids[count++] = processId;
    }
    return count;
}

std::uint32_t SimProcesses::spawn(std::uint32_t parentId) {
    const std::uint32_t processId = nextProcessId_ += 4;
    running_.insert(processId);
    parents_[processId] = parentId;
    return processId;
}

// Like a Toolhelp32 snapshot: every running process whose parent is in the tree so far.
std::size_t SimProcesses::processTree(std::uint32_t root, std::span<std::uint32_t> ids) {
    log_.add("CreateToolhelp32Snapshot(" + std::to_string(root) + ")");
    std::vector<std::uint32_t> tree{root};
    for (std::size_t i = 0; i < tree.size(); ++i) {
        for (const auto& [child, parent] : parents_) {
            if (parent == tree[i]) tree.push_back(child);
        }
    }
    const std::size_t count = std::min(tree.size(), ids.size());
    std::copy_n(tree.begin(), count, ids.begin());
    return count;
}

class SimProcesses::Started final : public StartedProcess {
  public:
    static constexpr std::uint32_t kStillActive = 259;

    Started(SimProcesses& owner, std::uint32_t id) : owner_(owner), id_(id) { ++owner_.held_; }
    ~Started() override { --owner_.held_; }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    std::uint32_t id() const override { return id_; }
    bool running() override {
        owner_.log_.add("WaitForSingleObject(" + std::to_string(id_) + ", 0)");
        return owner_.running_.contains(id_);
    }
    std::uint32_t exitCode() override {
        const auto code = owner_.exitCodes_.find(id_);
        return code == owner_.exitCodes_.end() ? kStillActive : code->second;
    }
    void terminate() override {
        owner_.log_.add("TerminateProcess(" + std::to_string(id_) + ")");
        owner_.terminated_.push_back(id_);
        owner_.end(id_, 1);
    }

  private:
    SimProcesses& owner_;
    std::uint32_t id_;
};

std::unique_ptr<StartedProcess> SimProcesses::start(const std::string& commandLineAnsi, int showStyle,
                                                    bool noConsoleWindow) {
    log_.add("CreateProcessA(" + commandLineAnsi + ", " + std::to_string(showStyle) +
             (noConsoleWindow ? ", CREATE_NO_WINDOW)" : ")"));
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
