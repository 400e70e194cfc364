#include "Args.h"

#include <windows.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace e2e {

std::optional<std::int64_t> parseNumber(const std::string& word) {
    const bool negative = !word.empty() && word.front() == '-';
    const std::size_t first = negative ? 1 : 0;
    // strtoull alone would also take blanks, a sign of its own, and wrap "-5" around.
    if (word.size() <= first || !std::isdigit(static_cast<unsigned char>(word[first]))) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    // Through unsigned so that 0xFFFFFFFF-style handles and masks read as written.
    const unsigned long long magnitude = std::strtoull(word.c_str() + first, &end, 0);
    if (errno != 0 || end == nullptr || *end != '\0') return std::nullopt;
    if (negative && magnitude > static_cast<unsigned long long>(INT64_MAX)) return std::nullopt;
    const auto value = static_cast<std::int64_t>(magnitude);
    return negative ? -value : value;
}

std::optional<unsigned> parseMessage(const std::string& word) {
    struct Named {
        std::string_view name;
        unsigned message;
    };
    static constexpr Named kNames[] = {
        {"mousemove", WM_MOUSEMOVE},     {"lbuttondown", WM_LBUTTONDOWN},     {"lbuttonup", WM_LBUTTONUP},
        {"rbuttondown", WM_RBUTTONDOWN}, {"rbuttonup", WM_RBUTTONUP},         {"mbuttondown", WM_MBUTTONDOWN},
        {"mbuttonup", WM_MBUTTONUP},     {"lbuttondblclk", WM_LBUTTONDBLCLK},
    };
    std::string lower;
    for (char c : word) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.rfind("wm_", 0) == 0) lower.erase(0, 3);
    for (const auto& named : kNames) {
        if (named.name == lower) return named.message;
    }
    const auto number = parseNumber(word);
    if (!number || *number < 0 || *number > 0xFFFF) return std::nullopt;
    return static_cast<unsigned>(*number);
}

std::optional<unsigned> parseKeyFlags(const std::string& word) {
    if (const auto number = parseNumber(word)) {
        if (*number < 0 || *number > 0xFFFF) return std::nullopt;
        return static_cast<unsigned>(*number);
    }
    struct Named {
        std::string_view name;
        unsigned flag;
    };
    static constexpr Named kNames[] = {
        {"none", 0},
        {"shift", MK_SHIFT},
        {"control", MK_CONTROL},
        {"ctrl", MK_CONTROL},
        {"lbutton", MK_LBUTTON},
        {"rbutton", MK_RBUTTON},
        {"mbutton", MK_MBUTTON},
    };
    unsigned flags = 0;
    std::size_t start = 0;
    for (;;) {
        const auto plus = word.find('+', start);
        const std::string_view part = std::string_view(word).substr(start, plus - start);
        bool known = false;
        for (const auto& named : kNames) {
            if (named.name == part) {
                flags |= named.flag;
                known = true;
            }
        }
        if (!known) return std::nullopt;
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    return flags;
}

}  // namespace e2e
