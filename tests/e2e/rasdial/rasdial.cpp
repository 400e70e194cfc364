// A stand-in for the system's command-line dialer, built only for the end-to-end tests. The program
// starts it as "<system folder>\rasdial.exe" "<entry>"; like the real dialer it takes no input and
// stays for as long as the dial lasts. The scenario places copies in the system folder and beside the
// program, and each copy says where it ran from.
//
// Everything it reads and writes is in the current folder, which it inherits from the program:
//   "rasdial-scenario.txt"  a line "run_ms=<n>" (default 5000): the run lasts that long, or until a
//                           file "rasdial-release.txt" appears, which it takes away (so that the
//                           next run waits for a release of its own); a line "exit_code=<n>"
//                           (default 0): what the run exits with, as the real one exits with the
//                           dial-up service's error number;
//   "rasdial-log.txt"       one line per start, written first:
//                           "<system|elsewhere> args=<n> split=<m> [<first argument>]", where n counts
//                           the arguments as the C runtime splits the command line and m as
//                           CommandLineToArgvW does;
//   "rasdial-done.txt"      one line per run, written just before exiting: "done show=<n>" with the show
//                           style the starter asked for, or "done show=default" when it asked for none;
//   "rasdial-ticks.txt"     the system's tick count at each start and end: "start <tick>", and
//                           "end <tick> <exit code>".
// A hang-up ("rasdial <entry> /disconnect", or "/d", or without the entry) is not a dial: it touches
// none of the files above, leaves the release alone, writes "hangup <tick> [<entry>]" to
// "rasdial-hangups.txt" and exits with 0 after "hangup_ms=<n>" (default 0) of the scenario. That keeps
// the dials countable however often the program hangs up; and since Wine's dial-up service never lists
// a connection, a dial that exits with 0 is one that was accepted and dropped at once.
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Scenario {
    unsigned runMs = 5000;
    unsigned exitCode = 0;
    unsigned hangupMs = 0;
};

Scenario readScenario() {
    Scenario s;
    if (FILE* f = std::fopen("rasdial-scenario.txt", "r")) {
        char line[128];
        while (std::fgets(line, sizeof line, f)) {
            unsigned value = 0;
            if (std::sscanf(line, "run_ms=%u", &value) == 1) s.runMs = value;
            if (std::sscanf(line, "exit_code=%u", &value) == 1) s.exitCode = value;
            if (std::sscanf(line, "hangup_ms=%u", &value) == 1) s.hangupMs = value;
        }
        std::fclose(f);
    }
    return s;
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// Whether this copy is the one in the system folder (for a 32-bit starter on a 64-bit system, the one
// the system folder's name leads it to).
const char* where() {
    char self[MAX_PATH] = {};
    char system[MAX_PATH] = {};
    char wow64[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    GetSystemWow64DirectoryA(wow64, MAX_PATH);
    const std::string folder = folderOf(self);
    const bool inSystem = lstrcmpiA(folder.c_str(), system) == 0 || lstrcmpiA(folder.c_str(), wow64) == 0;
    return inSystem ? "system" : "elsewhere";
}

int splitCount() {
    int count = 0;
    if (LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count)) LocalFree(arguments);
    return count - 1;
}

void runUntilReleased(DWORD runMs) {
    const DWORD started = GetTickCount();
    while (GetTickCount() - started < runMs && !DeleteFileA("rasdial-release.txt")) Sleep(50);
}

void appendLine(const char* file, const std::string& line) {
    // Binary, so that the line ends in exactly one "\n" and the scenario sees the bytes as passed.
    if (FILE* f = std::fopen(file, "ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

std::string showStyle() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    if ((startup.dwFlags & STARTF_USESHOWWINDOW) == 0) return "default";
    return std::to_string(startup.wShowWindow);
}

bool isHangUp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (lstrcmpiA(argv[i], "/disconnect") == 0 || lstrcmpiA(argv[i], "/d") == 0) return true;
    }
    return false;
}

int hangUp(int argc, char** argv) {
    const std::string entry = argc > 2 ? argv[1] : "";
    appendLine("rasdial-hangups.txt", "hangup " + std::to_string(GetTickCount()) + " [" + entry + "]");
    Sleep(readScenario().hangupMs);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (isHangUp(argc, argv)) return hangUp(argc, argv);
    appendLine("rasdial-log.txt", std::string(where()) + " args=" + std::to_string(argc - 1) + " split=" +
                                      std::to_string(splitCount()) + " [" + (argc > 1 ? argv[1] : "") + "]");
    appendLine("rasdial-ticks.txt", "start " + std::to_string(GetTickCount()));
    const Scenario scenario = readScenario();
    runUntilReleased(scenario.runMs);
    appendLine("rasdial-done.txt", "done show=" + showStyle());
    appendLine("rasdial-ticks.txt",
               "end " + std::to_string(GetTickCount()) + " " + std::to_string(scenario.exitCode));
    return static_cast<int>(scenario.exitCode);
}
