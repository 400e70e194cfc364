#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32Shell final : public ShellService {
  public:
    bool notifyIcon(NotifyIconMessage message, const NotifyIconRecord& record) override;
    void execute(const std::string& operationAnsi, const std::string& fileAnsi, int showCommand) override;

    // Deletes the icons added for this window and not deleted since.
    void release(WindowHandle window);

  private:
    std::vector<std::pair<WindowHandle, std::uint32_t>> icons_;  // (hWnd, uID) of the icons added
};

}  // namespace kestrove::win32
