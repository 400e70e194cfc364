#pragma once

#include <string>

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32CodePage final : public CodePageService {
  public:
    std::string toUnicode(std::string_view ansi) override;
    using CodePageService::toAnsi;
    void toAnsi(std::string_view text, std::string& ansi) override;
    bool sameIgnoringCase(std::string_view ansiA, std::string_view ansiB) override;

  private:
    std::wstring wide_;  // reused by every toAnsi into a caller's buffer
};

}  // namespace kestrove::win32
