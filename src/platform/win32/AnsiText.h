#pragma once
// The program's text is UTF-8; the single-byte ("A") system calls take the ANSI code page.

#include <string>
#include <string_view>

namespace kestrove::win32 {

std::string toAnsi(std::string_view utf8);
std::string fromAnsi(std::string_view ansi);

// The same into the caller's strings, for callers that convert many times a second: once the strings
// and the wide buffer are large enough, nothing is allocated.
void toAnsi(std::string_view utf8, std::string& ansi, std::wstring& wide);
void fromAnsi(std::string_view ansi, std::string& utf8, std::wstring& wide);

// The buffers such a caller keeps.
struct TextScratch {
    std::string ansi;
    std::wstring wide;
};

}  // namespace kestrove::win32
