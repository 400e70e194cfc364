#include "platform/sim/SimShell.h"

#include <cstring>

namespace kestrove::sim {

std::array<std::uint8_t, sys::kNotifyIconDataV1Size> serialise32(const NotifyIconRecord& record) {
    std::array<std::uint8_t, sys::kNotifyIconDataV1Size> bytes{};
    std::size_t at = 0;
    const auto put = [&](std::uint64_t value) {
        for (int i = 0; i < 4; ++i) bytes[at++] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    put(record.cbSize);
    put(record.hWnd);
    put(record.uID);
    put(record.uFlags);
    put(record.uCallbackMessage);
    put(record.hIcon);
    std::memcpy(bytes.data() + at, record.szTip, sizeof record.szTip);
    return bytes;
}

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

// The record's second form, which only a shell with balloons takes.
bool SimShell::balloon(WindowHandle window, std::uint32_t id, const std::string& titleAnsi,
                       const std::string& textAnsi) {
    if (!balloons_) return false;
    log_.add("Shell_NotifyIconA(1, NIF_INFO, " + titleAnsi + ", " + textAnsi + ")");
    if (!icons_.contains({window, id})) return false;
    shown_.emplace_back(titleAnsi, textAnsi);
    return true;
}

void SimShell::execute(const std::string& operationAnsi, const std::string& fileAnsi, int showCommand) {
    log_.add("ShellExecuteA(" + operationAnsi + ", " + fileAnsi + ", " + std::to_string(showCommand) + ")");
}

}  // namespace kestrove::sim
