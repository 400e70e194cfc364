#pragma once

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32Processes final : public ProcessService {
  public:
    std::optional<std::uint32_t> start(const std::string& commandLineAnsi, int showStyle) override;
    bool isRunning(std::uint32_t processId) override;
    void sendEnter(WindowHandle window) override;
};

}  // namespace kestrove::win32
