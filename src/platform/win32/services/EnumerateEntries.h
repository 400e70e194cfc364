#pragma once
// RasEnumEntriesA fills nothing when the buffer is too small: it only reports how many entries there are
// and how many bytes they need. Asking again with that size delivers them all, and the caller's buffer
// keeps the records that fit.

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/SystemCodes.h"

namespace kestrove::win32 {

constexpr int kEnumerationAttempts = 3;  // the phone book may grow between two calls

// enumerate(buffer, byteCount, entryCount) calls the service. Afterwards entryCount is every entry and
// buffer holds the first records; the record size stays where the caller put it, in record 0.
template <class Enumerate>
std::uint32_t enumerateKeepingWhatFits(std::span<std::uint8_t> buffer, std::uint32_t& byteCount,
                                       std::uint32_t& entryCount, Enumerate&& enumerate) {
    constexpr std::size_t kSizeField = 4;
    std::uint32_t result = enumerate(buffer, byteCount, entryCount);
    std::vector<std::uint8_t> whole;
    for (int attempt = 1;
         attempt < kEnumerationAttempts && result == sys::kErrorBufferTooSmall && byteCount > buffer.size();
         ++attempt) {
        whole.assign(byteCount, 0);
        std::copy_n(buffer.begin(), std::min(kSizeField, buffer.size()), whole.begin());
        result = enumerate(std::span<std::uint8_t>(whole), byteCount, entryCount);
        if (result == 0) std::copy_n(whole.begin(), std::min(whole.size(), buffer.size()), buffer.begin());
    }
    return result;
}

}  // namespace kestrove::win32
