#pragma once
// The groups of checks of the real platform services, each run against the live system under Wine.

#include <string>

#include "Results.h"
#include "platform/Services.h"

namespace e2e::services {

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
