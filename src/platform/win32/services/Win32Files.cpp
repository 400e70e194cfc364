#include "platform/win32/services/Win32Files.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/AnsiText.h"
#include "platform/win32/services/SystemHandles.h"

namespace kestrove::win32 {
namespace {

constexpr DWORD kChunk = 64 * 1024;

}  // namespace

std::optional<std::string> Win32Files::read(const std::string& path, std::size_t limit) {
    const OwnedFile file(CreateFileA(toAnsi(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;

    // Read to the end or the limit rather than trusting the size: the file may grow or shrink meanwhile.
    std::string bytes;
    while (bytes.size() < limit) {
        const std::size_t start = bytes.size();
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(limit - start, kChunk));
        bytes.resize(start + want);
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + start, want, &got, nullptr)) return std::nullopt;
        bytes.resize(start + got);
        if (got == 0) break;
    }
    return bytes;
}

bool Win32Files::exists(const std::string& path) {
    return GetFileAttributesA(toAnsi(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32Files::write(const std::string& path, std::string_view bytes) {
    OwnedFile file(CreateFileA(toAnsi(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;

    while (!bytes.empty()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kChunk));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), want, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    if (!FlushFileBuffers(file.get())) return false;
    // Closing can still report a failed write-back (a full network share).
    return CloseHandle(file.release()) != 0;
}

bool Win32Files::replace(const std::string& from, const std::string& to) {
    const std::string source = toAnsi(from);
    const std::string target = toAnsi(to);
    if (MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    // Windows 9x has the entry point but not the function. There the old file goes first, so a crash or
    // a failed move in between leaves only the new file, under its temporary name.
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    DeleteFileA(target.c_str());
    return MoveFileA(source.c_str(), target.c_str()) != 0;
}

void Win32Files::remove(const std::string& path) { DeleteFileA(toAnsi(path).c_str()); }

}  // namespace kestrove::win32
