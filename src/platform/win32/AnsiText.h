#pragma once
// The program's text is UTF-8; the single-byte ("A") system calls take the ANSI code page.

#include <string>
#include <string_view>

namespace kestrove::win32 {

std::string toAnsi(std::string_view utf8);
std::string fromAnsi(std::string_view ansi);

}  // namespace kestrove::win32
