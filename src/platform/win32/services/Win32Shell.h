#pragma once

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32Shell final : public ShellService {
  public:
    bool notifyIcon(NotifyIconMessage message, const NotifyIconRecord& record) override;
    void execute(const std::string& operationAnsi, const std::string& fileAnsi, int showCommand) override;
};

}  // namespace kestrove::win32
