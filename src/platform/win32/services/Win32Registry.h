#pragma once

#include "platform/Services.h"

namespace kestrove::win32 {

// The caller holds a key between openKey() and closeKey(), so the key travels as a plain value here.
class Win32Registry final : public RegistryService {
  public:
    std::int32_t openKey(RegistryKey root, const std::string& subKeyAnsi, RegistryKey& key) override;
    std::int32_t queryValue(RegistryKey key, const std::string& nameAnsi, std::uint8_t* data,
                            std::uint32_t& size) override;
    void closeKey(RegistryKey key) override;
};

}  // namespace kestrove::win32
