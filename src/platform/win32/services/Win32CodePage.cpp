#include "platform/win32/services/Win32CodePage.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/AnsiText.h"

namespace kestrove::win32 {
namespace {

// Entry names are at most 256 characters; a longer text names no entry.
constexpr std::size_t kLongestName = 256;

}  // namespace

std::string Win32CodePage::toUnicode(std::string_view ansi) { return kestrove::win32::fromAnsi(ansi); }

void Win32CodePage::toAnsi(std::string_view text, std::string& ansi) {
    kestrove::win32::toAnsi(text, ansi, wide_);
}

// Each text upper-cased by the ANSI code page's own case mapping, which keeps the length in bytes
// (double-byte characters included), then compared byte for byte.
bool Win32CodePage::sameIgnoringCase(std::string_view ansiA, std::string_view ansiB) {
    if (ansiA.size() != ansiB.size() || ansiA.size() > kLongestName) return false;
    char a[kLongestName + 1] = {};
    char b[kLongestName + 1] = {};
    std::memcpy(a, ansiA.data(), ansiA.size());
    std::memcpy(b, ansiB.data(), ansiB.size());
    const auto length = static_cast<DWORD>(ansiA.size());
    CharUpperBuffA(a, length);
    CharUpperBuffA(b, length);
    return std::memcmp(a, b, ansiA.size()) == 0;
}

}  // namespace kestrove::win32
