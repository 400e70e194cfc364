// The tick counter of the measured programs: a count in the first four bytes of the file named by
// KESTROVE_TICK_FILE (relative to the current folder), kept in a mapped view of it. Wine maps the file's
// own pages, so the measurement reads the count straight from the file at any moment, without starting a
// program that would add to the cost it measures. Never shipped.
#include <windows.h>

#include "platform/win32/TickCount.h"

namespace {

constexpr DWORD kViewBytes = 4096;

volatile LONG* openCounter() {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("KESTROVE_TICK_FILE", path, sizeof path);
    if (length == 0 || length >= sizeof path) return nullptr;
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, kViewBytes, nullptr);
    CloseHandle(file);  // the mapping keeps the file open
    if (mapping == nullptr) return nullptr;
    void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kViewBytes);
    CloseHandle(mapping);  // the view keeps the mapping
    return static_cast<volatile LONG*>(view);
}

}  // namespace

namespace kestrove::win32 {

void countTick() {
    // Mapped for the rest of the run; the system unmaps it when the program ends.
    static volatile LONG* const counter = openCounter();
    if (counter != nullptr) *counter = *counter + 1;
}

}  // namespace kestrove::win32
