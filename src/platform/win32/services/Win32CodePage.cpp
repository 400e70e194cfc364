#include "platform/win32/services/Win32CodePage.h"

#include "platform/win32/AnsiText.h"

namespace kestrove::win32 {

std::string Win32CodePage::toUnicode(std::string_view ansi) { return kestrove::win32::fromAnsi(ansi); }

void Win32CodePage::toAnsi(std::string_view text, std::string& ansi) { ansi = kestrove::win32::toAnsi(text); }

}  // namespace kestrove::win32
