#pragma once

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32CodePage final : public CodePageService {
  public:
    std::string toUnicode(std::string_view ansi) override;
    using CodePageService::toAnsi;
    void toAnsi(std::string_view text, std::string& ansi) override;
};

}  // namespace kestrove::win32
