#pragma once

#include <cstdint>

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32Shell final : public ShellService {
  public:
    bool notifyIcon(NotifyIconMessage message, const NotifyIconRecord& record) override;
    void execute(const std::string& operationAnsi, const std::string& fileAnsi, int showCommand) override;
    bool balloon(WindowHandle window, std::uint32_t id, const std::string& titleAnsi,
                 const std::string& textAnsi) override;

  private:
    int balloons_ = -1;  // whether the shell has them, once known
};

}  // namespace kestrove::win32
