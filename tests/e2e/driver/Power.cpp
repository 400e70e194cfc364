#include "Power.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "Lookup.h"

namespace e2e {
namespace {

// Not in every header set the driver is built with.
constexpr UINT kPowerBroadcast = 0x0218;     // WM_POWERBROADCAST
constexpr WPARAM kResumeSuspend = 0x0007;    // PBT_APMRESUMESUSPEND
constexpr WPARAM kResumeAutomatic = 0x0012;  // PBT_APMRESUMEAUTOMATIC

struct ProcessWindows {
    DWORD process;
    std::vector<HWND> windows;
};

BOOL CALLBACK collectOfProcess(HWND window, LPARAM context) {
    auto* found = reinterpret_cast<ProcessWindows*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == found->process) found->windows.push_back(window);
    return TRUE;
}

}  // namespace

// The system sends the event to every top-level window, hidden ones too, with lParam 0: first
// PBT_APMRESUMEAUTOMATIC at every resume, then PBT_APMRESUMESUSPEND as well when a user's key press or
// mouse woke the machine ("user"). Prints the tick count taken just before the first message, so that
// a scenario can measure from it; exit 1 when no window answered.
int resume(Words words) {
    std::vector<WPARAM> events{kResumeAutomatic};
    if (words[1] == "user") {
        events.push_back(kResumeSuspend);
    } else if (words[1] != "automatic") {
        std::fprintf(stderr, "cannot read argument '%s'\n", words[1].c_str());
        return 2;
    }
    HWND window = findTopLevel(words[0]);
    if (window == nullptr) {
        std::fprintf(stderr, "no window titled: %s\n", words[0].c_str());
        return 1;
    }
    ProcessWindows found{0, {}};
    GetWindowThreadProcessId(window, &found.process);
    EnumWindows(collectOfProcess, reinterpret_cast<LPARAM>(&found));

    const DWORD sentAt = GetTickCount();
    std::size_t answered = 0;
    for (const WPARAM event : events) {
        for (HWND each : found.windows) {
            if (sendWithin(each, kPowerBroadcast, event, 0)) ++answered;
        }
    }
    if (answered == 0) {
        std::fprintf(stderr, "no window of the program answered: %s\n", words[0].c_str());
        return 1;
    }
    std::printf("%lu\n", static_cast<unsigned long>(sentAt));
    return 0;
}

}  // namespace e2e
