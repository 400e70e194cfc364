#pragma once

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32Processes final : public ProcessService {
  public:
    std::unique_ptr<StartedProcess> start(const std::string& commandLineAnsi, int showStyle) override;
    void sendEnter(WindowHandle window) override;
};

}  // namespace kestrove::win32
