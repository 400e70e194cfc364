#include "platform/win32/AnsiText.h"

#include <windows.h>

#include "platform/win32/Utf16.h"

namespace kestrove::win32 {

std::string toAnsi(std::string_view utf8) {
    const std::wstring wide = utf8ToUtf16<wchar_t>(utf8);
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), size, nullptr, nullptr);
    return ansi;
}

std::string fromAnsi(std::string_view ansi) {
    if (ansi.empty()) return {};
    const int length = static_cast<int>(ansi.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), size);
    return utf16ToUtf8<wchar_t>(wide);
}

}  // namespace kestrove::win32
