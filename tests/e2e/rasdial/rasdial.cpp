// A stand-in for the system's command-line dialer, built only for the end-to-end tests. The program
// starts it as rasdial.exe "<entry>" from its own folder; like the real dialer it takes no input and
// stays for as long as the dial lasts.
//
// Scenario: "rasdial-scenario.txt" beside this program, a line "run_ms=<n>" (default 5000): the run
// lasts that long, or until a file "rasdial-release.txt" appears beside it, which it takes away (so
// that the next run waits for a release of its own).
// Logs beside this program:
//   "rasdial-log.txt"   one line per start, written first: the arguments exactly as they were passed
//                       (the command line after the program's own name);
//   "rasdial-done.txt"  one line per run, written just before exiting: "done show=<n>" with the show
//                       style the starter asked for, or "done show=default" when it asked for none.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string besideThisProgram(const char* name) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    folder.resize(folder.find_last_of('\\') + 1);
    return folder + name;
}

unsigned runMilliseconds() {
    unsigned runMs = 5000;
    if (FILE* f = std::fopen(besideThisProgram("rasdial-scenario.txt").c_str(), "r")) {
        char line[128];
        while (std::fgets(line, sizeof line, f)) {
            unsigned value = 0;
            if (std::sscanf(line, "run_ms=%u", &value) == 1) runMs = value;
        }
        std::fclose(f);
    }
    return runMs;
}

void runUntilReleased(DWORD runMs) {
    const std::string release = besideThisProgram("rasdial-release.txt");
    const DWORD started = GetTickCount();
    while (GetTickCount() - started < runMs && !DeleteFileA(release.c_str())) Sleep(50);
}

// The command line without the program's name: the name ends at its closing quote when it starts
// with one, else at the first blank; the blanks after it are not part of the arguments.
std::string arguments(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

void appendLine(const char* file, const std::string& line) {
    // Binary, so that the line ends in exactly one "\n" and the scenario sees the bytes as passed.
    if (FILE* f = std::fopen(besideThisProgram(file).c_str(), "ab")) {
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

}  // namespace

int main() {
    appendLine("rasdial-log.txt", arguments(GetCommandLineA()));
    runUntilReleased(runMilliseconds());
    appendLine("rasdial-done.txt", "done show=" + showStyle());
    return 0;
}
