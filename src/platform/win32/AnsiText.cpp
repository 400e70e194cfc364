#include "platform/win32/AnsiText.h"

#include <windows.h>

#include "platform/win32/Utf16.h"

namespace kestrove::win32 {

void toAnsi(std::string_view utf8, std::string& ansi, std::wstring& wide) {
    utf8ToUtf16<wchar_t>(utf8, wide);
    ansi.clear();
    if (wide.empty()) return;
    const int length = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return;
    ansi.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), size, nullptr, nullptr);
}

void fromAnsi(std::string_view ansi, std::string& utf8, std::wstring& wide) {
    utf8.clear();
    if (ansi.empty()) return;
    const int length = static_cast<int>(ansi.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    wide.resize(static_cast<std::size_t>(size > 0 ? size : 0));
    if (size > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), size);
    utf16ToUtf8<wchar_t>(wide, utf8);
}

std::string toAnsi(std::string_view utf8) {
    std::string ansi;
    std::wstring wide;
    toAnsi(utf8, ansi, wide);
    return ansi;
}

std::string fromAnsi(std::string_view ansi) {
    std::string utf8;
    std::wstring wide;
    fromAnsi(ansi, utf8, wide);
    return utf8;
}

}  // namespace kestrove::win32
