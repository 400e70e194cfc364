#include "platform/sim/SimPhoneBook.h"

#include <algorithm>
#include <cstring>

#include "platform/SystemCodes.h"

namespace kestrove::sim {

namespace {

constexpr std::size_t kRecordSize = sys::kRasEntryNameSize;
constexpr std::size_t kNameField = sys::kRasEntryNameBytes;

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
        std::uint8_t* field = buffer.data() + i * kRecordSize + sys::kRasEntryNameOffset;
        const std::size_t length = std::min(name.size(), kNameField);
        std::memcpy(field, name.data(), length);
        if (length < kNameField) field[length] = 0;
    }
    entryCount = reportedCount_.value_or(static_cast<std::uint32_t>(names_.size()));
    if (delivered < names_.size()) {
        byteCount = static_cast<std::uint32_t>(names_.size() * kRecordSize);
        return sys::kErrorBufferTooSmall;
    }
    return 0;
}

}  // namespace kestrove::sim
