#pragma once
// HKEY_LOCAL_MACHINE as a tree of keys and binary values; key and value names ignore ASCII case.

#include <map>
#include <string>
#include <vector>

#include "platform/Services.h"
#include "platform/sim/SimPlatform.h"

namespace kestrove::sim {

class SimRegistry final : public RegistryService {
  public:
    explicit SimRegistry(CallLog& log) : log_(log) {}

    void setValue(const std::string& subKey, const std::string& name, std::vector<std::uint8_t> bytes);
    void removeValue(const std::string& subKey, const std::string& name);
    void removeKey(const std::string& subKey);  // with its sub-keys
    std::size_t openHandles() const { return open_.size(); }

    std::int32_t openKey(RegistryKey root, const std::string& subKeyAnsi, RegistryKey& key) override;
    std::int32_t queryValue(RegistryKey key, const std::string& nameAnsi, std::uint8_t* data,
                            std::uint32_t& size) override;
    void closeKey(RegistryKey key) override;

  private:
    bool keyExists(const std::string& foldedKey) const;

    CallLog& log_;
    std::map<std::string, std::map<std::string, std::vector<std::uint8_t>>> keys_;  // folded names
    std::map<RegistryKey, std::string> open_;                                       // handle -> folded key
    RegistryKey nextHandle_ = 0x1000;
};

}  // namespace kestrove::sim
