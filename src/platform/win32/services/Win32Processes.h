#pragma once

#include <cstdint>
#include <vector>

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32Processes final : public ProcessService {
  public:
    std::unique_ptr<StartedProcess> start(const std::string& commandLineAnsi, int showStyle) override;
    void sendEnter(WindowHandle window) override;
    void processTree(std::uint32_t root, std::vector<std::uint32_t>& ids) override;
};

}  // namespace kestrove::win32
