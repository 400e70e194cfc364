#pragma once
// The system ANSI code page, simulated with iconv: a character the other side cannot carry becomes '?'.

#include <iconv.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/Services.h"

namespace kestrove::sim {

class Iconv {
  public:
    Iconv(const std::string& to, const std::string& from);
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    ~Iconv();
    // Characters that do not convert (unmapped or malformed) come out as one '?' each.
    std::string convert(std::string_view in, bool inputIsUtf8) const;
    void convert(std::string_view in, bool inputIsUtf8, std::string& out) const;

  private:
    iconv_t handle_;
};

class SimCodePage final : public CodePageService {
  public:
    SimCodePage() { select("CP1252"); }
    void select(const std::string& name);  // throws std::invalid_argument for a name iconv lacks

    std::string toUnicode(std::string_view ansi) override;
    using CodePageService::toAnsi;
    void toAnsi(std::string_view text, std::string& ansi) override;
    bool sameIgnoringCase(std::string_view ansiA, std::string_view ansiB) override;

  private:
    std::unique_ptr<Iconv> toUtf8_, fromUtf8_;
};

}  // namespace kestrove::sim
