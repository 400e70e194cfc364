// Starts a program and prints how long it took, in ms, until a visible top-level window of that
// program with the given title existed; then ends the program. The same watch for both programs
// compared, so that its own cost (a lookup each millisecond) weighs on both alike.
//
//   kestrove_startup_launch <program.exe> <window title> [<seconds to wait, default 30>]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double elapsedMs(const LARGE_INTEGER& from, const LARGE_INTEGER& frequency) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

bool shownBy(const char* title, DWORD process) {
    HWND window = FindWindowA(nullptr, title);
    DWORD owner = 0;
    if (window != nullptr) GetWindowThreadProcessId(window, &owner);
    return window != nullptr && owner == process && IsWindowVisible(window);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kestrove_startup_launch <program.exe> <window title> [<seconds>]\n");
        return 2;
    }
    const double limitMs = (argc > 3 ? std::atof(argv[3]) : 30.0) * 1000.0;
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    double shownMs = -1;
    while (elapsedMs(start, frequency) < limitMs) {
        if (shownBy(argv[2], started.dwProcessId)) {
            shownMs = elapsedMs(start, frequency);
            break;
        }
        if (WaitForSingleObject(started.hProcess, 1) == WAIT_OBJECT_0) break;  // ended without a window
    }
    TerminateProcess(started.hProcess, 0);
    WaitForSingleObject(started.hProcess, 10000);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    if (shownMs < 0) {
        std::fprintf(stderr, "no visible window [%s] of %s\n", argv[2], argv[1]);
        return 1;
    }
    std::printf("%.1f\n", shownMs);
    return 0;
}
