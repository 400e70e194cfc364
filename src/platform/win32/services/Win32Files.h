#pragma once

#include "platform/Services.h"

namespace kestrove::win32 {

class Win32Files final : public FileService {
  public:
    std::optional<std::string> read(const std::string& path, std::size_t limit) override;
    bool exists(const std::string& path) override;
    bool write(const std::string& path, std::string_view bytes) override;
    bool replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;
};

}  // namespace kestrove::win32
