#include "platform/sim/SimPhoneBook.h"

#include <algorithm>
#include <cstring>

namespace kestrove::sim {

namespace {

constexpr std::size_t kRecordSize = 264;
constexpr std::size_t kNameOffset = 4;
constexpr std::size_t kNameField = 257;  // 256 characters and the NUL
constexpr std::uint32_t kErrorBufferTooSmall = 603;

}  // namespace

void SimPhoneBook::set(std::vector<std::string> ansiNames, std::optional<std::uint32_t> reportedCount) {
    names_ = std::move(ansiNames);
    reportedCount_ = reportedCount;
}

std::uint32_t SimPhoneBook::enumEntries(std::span<std::uint8_t> buffer, std::uint32_t& byteCount,
                                        std::uint32_t& entryCount) {
    log_.add("RasEnumEntriesA(" + std::to_string(byteCount) + ")");
    if (missing_) throw RuntimeError("rasapi32.dll: RasEnumEntriesA not found");
    const std::size_t room = std::min<std::size_t>(byteCount, buffer.size()) / kRecordSize;
    const std::size_t delivered = std::min(room, names_.size());
    for (std::size_t i = 0; i < delivered; ++i) {
        // A name of 257 bytes or more fills the field without a NUL, which a real service never does.
        const std::string& name = names_[i];
        std::uint8_t* field = buffer.data() + i * kRecordSize + kNameOffset;
        const std::size_t length = std::min(name.size(), kNameField);
        std::memcpy(field, name.data(), length);
        if (length < kNameField) field[length] = 0;
    }
    entryCount = reportedCount_.value_or(static_cast<std::uint32_t>(names_.size()));
    if (delivered < names_.size()) {
        byteCount = static_cast<std::uint32_t>(names_.size() * kRecordSize);
        return kErrorBufferTooSmall;
    }
    return 0;
}

}  // namespace kestrove::sim
