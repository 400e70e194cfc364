#include "platform/win32/services/Win32ProgramInfo.h"

#include <string>

#include "platform/win32/AnsiText.h"

namespace kestrove::win32 {
namespace {

std::string moduleFileNameAnsi() {
    std::string name(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        // A full buffer means the name may have been cut (NT does not always say so): try a larger one.
        if (length < name.size() - 1) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

}  // namespace

// The separator is looked for after conversion: in a double-byte code page a backslash byte can be the
// second half of a character, in UTF-8 it cannot.
std::string Win32ProgramInfo::exeDirectory() {
    std::string path = fromAnsi(moduleFileNameAnsi());
    const std::size_t separator = path.find_last_of('\\');
    path.resize(separator == std::string::npos ? 0 : separator);
    return path;
}

std::string Win32ProgramInfo::systemDirectory() {
    char path[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryA(path, sizeof path);
    return length > 0 && length < sizeof path ? fromAnsi(std::string_view(path, length)) : std::string();
}

PlatformFamily Win32ProgramInfo::family() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT)
        return PlatformFamily::WindowsNT;
    return PlatformFamily::Windows9x;
}

ModuleHandle Win32ProgramInfo::instance() { return reinterpret_cast<ModuleHandle>(instance_); }

// Only the time of day is written, so moving it on needs no calendar.
std::string Win32ProgramInfo::timeOfDayAnsi(std::int32_t msFromNow) {
    constexpr std::int32_t kDayMs = 86'400'000;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    // Within a day either way first, so that 32 bits hold it all and nothing is negative.
    const auto at = static_cast<std::uint32_t>((now.wHour * 3600 + now.wMinute * 60 + now.wSecond) * 1000 +
                                               now.wMilliseconds + msFromNow % kDayMs + kDayMs);
    const std::uint32_t second = (at / 1000 + (msFromNow > 0 && at % 1000 != 0)) % 86400;
    now.wHour = static_cast<WORD>(second / 3600);
    now.wMinute = static_cast<WORD>(second / 60 % 60);
    now.wSecond = static_cast<WORD>(second % 60);
    char text[64] = {};
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, text, sizeof text) == 0) return {};
    return text;
}

}  // namespace kestrove::win32
