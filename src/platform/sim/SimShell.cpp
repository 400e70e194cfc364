#include "platform/sim/SimShell.h"

namespace kestrove::sim {

bool SimShell::notifyIcon(NotifyIconMessage message, const NotifyIconRecord& record) {
    log_.add("Shell_NotifyIconA(" + std::to_string(static_cast<std::uint32_t>(message)) + ")");
    records_.push_back(record);
    if (notifyFails_) return false;
    const std::pair key{record.hWnd, record.uID};
    switch (message) {
        case NotifyIconMessage::Add:
            return icons_.insert(key).second;  // the same icon twice is refused
        case NotifyIconMessage::Modify:
            return icons_.contains(key);
        case NotifyIconMessage::Delete:
            return icons_.erase(key) > 0;
    }
    return false;
}

void SimShell::execute(const std::string& operationAnsi, const std::string& fileAnsi, int showCommand) {
    log_.add("ShellExecuteA(" + operationAnsi + ", " + fileAnsi + ", " + std::to_string(showCommand) + ")");
}

}  // namespace kestrove::sim
