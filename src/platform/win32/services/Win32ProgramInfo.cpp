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

// Local time, moved on in file-time units (100 ns) so that days and months roll over as the calendar does.
std::string Win32ProgramInfo::timeOfDayAnsi(std::uint32_t secondsAhead) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    FILETIME file{};
    if (secondsAhead > 0 && SystemTimeToFileTime(&now, &file)) {
        ULARGE_INTEGER value{};
        value.LowPart = file.dwLowDateTime;
        value.HighPart = file.dwHighDateTime;
        value.QuadPart += static_cast<ULONGLONG>(secondsAhead) * 10'000'000u;
        file.dwLowDateTime = value.LowPart;
        file.dwHighDateTime = value.HighPart;
        FileTimeToSystemTime(&file, &now);
    }
    char text[64] = {};
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, text, sizeof text) == 0) return {};
    return text;
}

}  // namespace kestrove::win32
