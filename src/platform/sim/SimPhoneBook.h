#pragma once
// The default phone book as RasEnumEntriesA delivers it: 264-byte records, the name at offset 4.

#include <optional>
#include <string>
#include <vector>

#include "platform/Services.h"
#include "platform/sim/SimPlatform.h"

namespace kestrove::sim {

class SimPhoneBook final : public PhoneBookService {
  public:
    explicit SimPhoneBook(CallLog& log) : log_(log) {}
    void set(std::vector<std::string> ansiNames, std::optional<std::uint32_t> reportedCount);
    void setMissing(bool missing) { missing_ = missing; }

    std::uint32_t enumEntries(std::span<std::uint8_t> buffer, std::uint32_t& byteCount,
                              std::uint32_t& entryCount) override;

  private:
    CallLog& log_;
    std::vector<std::string> names_;
    std::optional<std::uint32_t> reportedCount_;
    bool missing_ = false;
};

}  // namespace kestrove::sim
