#pragma once

#include <windows.h>

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32ProgramInfo final : public ProgramInfo {
  public:
    explicit Win32ProgramInfo(HINSTANCE instance) : instance_(instance) {}
    std::string exeDirectory() override;
    std::string systemDirectory() override;
    ModuleHandle instance() override;
    PlatformFamily family() override;
    std::string timeOfDayAnsi(std::int32_t msFromNow) override;

  private:
    HINSTANCE instance_;
};

}  // namespace kestrove::win32
