#pragma once

#include "platform/Services.h"
#include "platform/win32/services/RasLibrary.h"

namespace kestrove::win32 {

class Win32PhoneBook final : public PhoneBookService {
  public:
    explicit Win32PhoneBook(RasLibrary& ras) : ras_(ras) {}
    std::uint32_t enumEntries(std::span<std::uint8_t> buffer, std::uint32_t& byteCount,
                              std::uint32_t& entryCount) override;

  private:
    RasLibrary& ras_;
};

}  // namespace kestrove::win32
