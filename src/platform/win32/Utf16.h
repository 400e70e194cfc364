#pragma once
// UTF-8 <-> UTF-16 without the system's help: the oldest systems the program runs on do not know the
// UTF-8 code page, but all of them convert between UTF-16 and the ANSI code page. Malformed input
// becomes U+FFFD, one per offending byte or unpaired surrogate. The 16-bit unit type is a template
// parameter (wchar_t on Windows, char16_t elsewhere).

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrove::win32 {

namespace utf {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point starting at text[i] and advances i past it.
constexpr char32_t decodeUtf8(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t at) { return static_cast<std::uint8_t>(text[at]); };
    const std::uint8_t lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = 0;
    char32_t cp = 0, minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1Fu, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0Fu, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07u, minimum = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + length > text.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k < length; ++k) {
        const std::uint8_t next = byte(i + k);
        if ((next & 0xC0u) != 0x80u) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (next & 0x3Fu);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += length;
    return cp;
}

inline void appendUtf8(std::string& out, char32_t cp) {
    const auto put = [&](unsigned v) { out.push_back(static_cast<char>(v)); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | (cp >> 6)), put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | (cp >> 12)), put(0x80 | ((cp >> 6) & 0x3F)), put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | (cp >> 18)), put(0x80 | ((cp >> 12) & 0x3F)), put(0x80 | ((cp >> 6) & 0x3F)),
            put(0x80 | (cp & 0x3F));
    }
}

}  // namespace utf

// Into the caller's string, whose room is reused.
template <class Unit>
void utf8ToUtf16(std::string_view text, std::basic_string<Unit>& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = utf::decodeUtf8(text, i);
        if (cp >= 0x10000) {
            out.push_back(static_cast<Unit>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<Unit>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<Unit>(cp));
        }
    }
}

template <class Unit>
void utf16ToUtf8(std::basic_string_view<Unit> text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = static_cast<char32_t>(text[i]) & 0xFFFFu;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size()) {
            const char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFFu;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                utf::appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        utf::appendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? utf::kReplacement : unit);
    }
}

template <class Unit>
std::basic_string<Unit> utf8ToUtf16(std::string_view text) {
    std::basic_string<Unit> out;
    utf8ToUtf16(text, out);
    return out;
}

template <class Unit>
std::string utf16ToUtf8(std::basic_string_view<Unit> text) {
    std::string out;
    utf16ToUtf8(text, out);
    return out;
}

}  // namespace kestrove::win32
