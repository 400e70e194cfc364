#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32Processes final : public ProcessService {
  public:
    std::unique_ptr<StartedProcess> start(const std::string& commandLineAnsi, int showStyle,
                                          bool noConsoleWindow = false) override;
    void sendEnter(WindowHandle window) override;
    std::size_t processTree(std::uint32_t root, std::span<std::uint32_t> ids) override;
    std::size_t processesNamed(const char* exeNameAnsi, std::span<std::uint32_t> ids) override;
};

}  // namespace kestrove::win32
