#include "keeper/PhoneBook.h"

#include <algorithm>
#include <cstdint>

#include "platform/SystemCodes.h"
#include "platform/Types.h"

namespace kestrove::keeper {

namespace {

constexpr std::size_t kRecords = 256;
constexpr std::uint32_t kRecordSize = sys::kRasEntryNameSize;

}  // namespace

void enumeratePhoneBook(PhoneBookService& phoneBook, CodePageService& codePage,
                        std::vector<std::string>& names) {
    std::vector<std::uint8_t> buffer(kRecords * kRecordSize, 0);
    for (std::size_t i = 0; i < 4; ++i) buffer[i] = static_cast<std::uint8_t>(kRecordSize >> (8 * i));

    std::uint32_t byteCount = static_cast<std::uint32_t>(kRecords) * kRecordSize;
    std::uint32_t entryCount = 0;
    phoneBook.enumEntries(buffer, byteCount, entryCount);

    if (entryCount == 0) throw RuntimeError("Subscript out of range");
    const std::size_t count = std::min<std::size_t>(entryCount, kRecords);
    names.assign(count, std::string());
    for (std::size_t i = 0; i < count; ++i) {
        const auto* field =
            reinterpret_cast<const char*>(buffer.data() + i * kRecordSize + sys::kRasEntryNameOffset);
        std::string name = codePage.toUnicode(std::string_view(field, sys::kRasEntryNameBytes));
        const auto end = name.find('\0');
        if (end == std::string::npos) throw RuntimeError("Invalid procedure call or argument");
        name.resize(end);
        names[i] = std::move(name);
    }
}

}  // namespace kestrove::keeper
