// Runs the real platform services against the live system under Wine and checks what they do: files,
// code page, registry, windows, the window-procedure hook, the tray icon, the dial-up services, starting
// programs and pressing Enter in another program's windows.
//
//   kestrove_services_check <nt|9x> [family] [watch]
//
// The first argument is the family the system has been set up to report to this program; "family"
// checks that, "watch" the program's watch tick (both by default, with everything else). Prints one
// line per failed check and a final "N passed, M failed"; exit code 1 on any failure. Needs
// kestrove_services_double.exe beside it, and a display.
#include <windows.h>

#include <cstring>
#include <string>

#include "Checks.h"

namespace {

std::string ownPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace e2e::services;
    if (argc < 2 || (std::strcmp(argv[1], "nt") != 0 && std::strcmp(argv[1], "9x") != 0)) {
        std::fprintf(stderr, "usage: kestrove_services_check <nt|9x> [family] [watch]\n");
        return 2;
    }
    const auto platform = std::strcmp(argv[1], "nt") == 0 ? kestrove::PlatformFamily::WindowsNT
                                                          : kestrove::PlatformFamily::Windows9x;
    bool family = argc == 2, watch = argc == 2;
    for (int i = 2; i < argc; ++i) {
        family = family || std::strcmp(argv[i], "family") == 0;
        watch = watch || std::strcmp(argv[i], "watch") == 0;
    }
    const bool everything = argc == 2;

    const std::string self = ownPath();
    const std::string folder = self.substr(0, self.find_last_of('\\'));
    Results results;
    if (family) checkProgramInfo(results, folder, platform);
    if (everything) {
        checkFiles(results, folder, self);
        checkCodePage(results);
        checkRegistry(results);
        checkWindows(results);
        checkWindowProcs(results);
        checkDialUp(results);
        checkTrayIcon(results);
        checkProcesses(results);
        checkEnterKey(results, folder);
    }
    if (watch) checkWatch(results, folder, platform);
    return results.report();
}
