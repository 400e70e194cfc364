#pragma once

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32CodePage final : public CodePageService {
  public:
    std::string toUnicode(std::string_view ansi) override;
    std::string toAnsi(std::string_view text) override;
};

}  // namespace kestrove::win32
