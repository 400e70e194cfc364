#pragma once
// The notification area and the shell's "open a document" call.

#include <array>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "platform/Services.h"
#include "platform/sim/SimPlatform.h"

namespace kestrove::sim {

// The icon record as the 32-bit system reads it: 88 bytes, little-endian.
std::array<std::uint8_t, sys::kNotifyIconDataV1Size> serialise32(const NotifyIconRecord& record);

class SimShell final : public ShellService {
  public:
    explicit SimShell(CallLog& log) : log_(log) {}

    void setNotifyIconFails(bool fails) { notifyFails_ = fails; }
    const std::vector<NotifyIconRecord>& records() const { return records_; }
    bool iconPresent() const { return !icons_.empty(); }
    void dropIcons() { icons_.clear(); }  // the taskbar was re-created
    void setBalloons(bool supported) { balloons_ = supported; }
    const std::vector<std::pair<std::string, std::string>>& balloonsShown() const { return shown_; }

    bool notifyIcon(NotifyIconMessage message, const NotifyIconRecord& record) override;
    void execute(const std::string& operationAnsi, const std::string& fileAnsi, int showCommand) override;
    bool balloon(WindowHandle window, std::uint32_t id, const std::string& titleAnsi,
                 const std::string& textAnsi) override;

  private:
    CallLog& log_;
    bool notifyFails_ = false;
    bool balloons_ = true;
    std::vector<std::pair<std::string, std::string>> shown_;  // title and text of each balloon
    std::vector<NotifyIconRecord> records_;
    std::set<std::pair<WindowHandle, std::uint32_t>> icons_;  // present icons by (hWnd, uID)
};

}  // namespace kestrove::sim
