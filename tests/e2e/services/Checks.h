#pragma once
// The groups of checks of the real platform services, each run against the live system under Wine.

#include <string>
#include <string_view>
#include <vector>

#include "Results.h"
#include "platform/Services.h"

namespace e2e::services {

// The windows a walk of the window service found, kept to be checked.
struct FoundWindow {
    kestrove::WindowHandle handle;
    std::string classAnsi, titleAnsi;
};
struct WindowList final : kestrove::WindowVisitor {
    bool visit(kestrove::WindowHandle window, std::string_view classAnsi,
               std::string_view titleAnsi) override {
        found.push_back({window, std::string(classAnsi), std::string(titleAnsi)});
        return true;
    }
    std::vector<FoundWindow> found;
};

// folder: where this program lies and may write; self: its own file.
void checkFiles(Results& results, const std::string& folder, const std::string& self);
void checkCodePage(Results& results);
void checkRegistry(Results& results);
// family: what the system has been set up to report to this program.
void checkProgramInfo(Results& results, const std::string& folder, kestrove::PlatformFamily family);
void checkWindows(Results& results);
void checkWindowProcs(Results& results);
void checkDialUp(Results& results);
void checkTrayIcon(Results& results);
void checkProcesses(Results& results);
// Uses the double (kestrove_services_double.exe) in folder.
void checkEnterKey(Results& results, const std::string& folder);
// Runs the program armed, its settings file in folder, and counts the heap allocations of its watch.
void checkWatch(Results& results, const std::string& folder, kestrove::PlatformFamily family);

}  // namespace e2e::services
