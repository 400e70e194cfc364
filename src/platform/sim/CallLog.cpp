#include <charconv>
#include <cstdio>

#include "platform/sim/CallFormat.h"
#include "platform/sim/SimPlatform.h"

namespace kestrove::sim {

std::size_t CallLog::count(const std::string& prefix) const {
    std::size_t n = 0;
    for (const auto& call : calls_) {
        if (call.starts_with(prefix)) ++n;
    }
    return n;
}

std::string CallLog::dump() const {
    std::string out;
    for (const auto& call : calls_) out += call + '\n';
    return out;
}

std::string hex(std::uintmax_t value) {
    char buffer[2 * sizeof value + 1];
    std::snprintf(buffer, sizeof buffer, "%jX", value);
    return buffer;
}

std::string twips(Twips value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string twipRect(const TwipRect& rect) {
    return twips(rect.left) + ", " + twips(rect.top) + ", " + twips(rect.width) + ", " + twips(rect.height);
}

std::string screenRect(const ScreenRect& rect) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "(%d, %d, %d, %d)", static_cast<int>(rect.left),
                  static_cast<int>(rect.top), static_cast<int>(rect.right), static_cast<int>(rect.bottom));
    return buffer;
}

}  // namespace kestrove::sim
