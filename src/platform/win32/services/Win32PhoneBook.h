#pragma once

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32PhoneBook final : public PhoneBookService {
  public:
    std::uint32_t enumEntries(std::span<std::uint8_t> buffer, std::uint32_t& byteCount,
                              std::uint32_t& entryCount) override;
};

}  // namespace kestrove::win32
