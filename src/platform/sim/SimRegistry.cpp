#include "platform/sim/SimRegistry.h"

#include <algorithm>
#include <cstring>

#include "platform/SystemCodes.h"
#include "platform/sim/CallFormat.h"

namespace kestrove::sim {

namespace {

constexpr std::int32_t kErrorFileNotFound = 2;
constexpr std::int32_t kErrorInvalidHandle = 6;
constexpr std::int32_t kErrorMoreData = 234;

std::string fold(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return name;
}

}  // namespace

void SimRegistry::setValue(const std::string& subKey, const std::string& name,
                           std::vector<std::uint8_t> bytes) {
    keys_[fold(subKey)][fold(name)] = std::move(bytes);
}

void SimRegistry::removeValue(const std::string& subKey, const std::string& name) {
    const auto key = keys_.find(fold(subKey));
    if (key != keys_.end()) key->second.erase(fold(name));
}

void SimRegistry::removeKey(const std::string& subKey) {
    const std::string folded = fold(subKey);
    std::erase_if(keys_, [&](const auto& entry) {
        return entry.first == folded || entry.first.starts_with(folded + '\\');
    });
}

bool SimRegistry::keyExists(const std::string& folded) const {
    // A key exists when it was written or lies on the path to one that was.
    if (folded.empty()) return true;
    return std::any_of(keys_.begin(), keys_.end(), [&](const auto& entry) {
        return entry.first == folded || entry.first.starts_with(folded + '\\');
    });
}

std::int32_t SimRegistry::openKey(RegistryKey root, const std::string& subKeyAnsi, RegistryKey& key) {
    log_.add("RegOpenKeyA(" + hex(root) + ", " + subKeyAnsi + ")");
    const std::string folded = fold(subKeyAnsi);
    if (root != sys::kHkeyLocalMachine || !keyExists(folded)) return kErrorFileNotFound;
    key = nextHandle_ += 4;
    open_.emplace(key, folded);
    return 0;
}

std::int32_t SimRegistry::queryValue(RegistryKey key, const std::string& nameAnsi, std::uint8_t* data,
                                     std::uint32_t& size) {
    log_.add("RegQueryValueExA(" + nameAnsi + ")");
    const auto handle = open_.find(key);
    if (handle == open_.end()) return kErrorInvalidHandle;
    const auto values = keys_.find(handle->second);
    if (values == keys_.end()) return kErrorFileNotFound;
    const auto value = values->second.find(fold(nameAnsi));
    if (value == values->second.end()) return kErrorFileNotFound;
    const auto& bytes = value->second;
    const auto length = static_cast<std::uint32_t>(bytes.size());
    if (data != nullptr && length > size) {
        // As the system may: the buffer holds the value's first bytes all the same.
        if (size > 0) std::memcpy(data, bytes.data(), size);
        size = length;
        return kErrorMoreData;
    }
    if (data != nullptr && length > 0) std::memcpy(data, bytes.data(), length);
    size = length;
    return 0;
}

void SimRegistry::closeKey(RegistryKey key) {
    log_.add("RegCloseKey");
    open_.erase(key);
}

}  // namespace kestrove::sim
