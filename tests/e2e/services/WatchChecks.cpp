// The program's watch for a dial under way runs on every timer tick, about a hundred times a second:
// armed in the tray, its real ticks (real timer messages, real window lookup, real combo box) must not
// touch the heap. Counted with a replaced operator new over a few seconds of the running program.
#include <windows.h>

#include <string>

#include "AllocationCount.h"
#include "Checks.h"
#include "platform/forms/Application.h"
#include "platform/win32/Win32Backend.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/services/Win32Files.h"
#include "ui/frmMain.h"

namespace {

constexpr UINT kRunMs = 3000;
constexpr const char* kRemoteAccess = "System\\CurrentControlSet\\Services\\RemoteAccess";

void CALLBACK endRun(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

// The 9x family reads the connection flag: up, so that nothing is dialled.
bool setConnectionFlag(bool up) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kRemoteAccess, &key) != ERROR_SUCCESS) return false;
    const BYTE value[4] = {static_cast<BYTE>(up ? 1 : 0), 0, 0, 0};
    const bool ok =
        RegSetValueExA(key, "Remote Connection", 0, REG_BINARY, value, sizeof value) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

void removeConnectionFlag() {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kRemoteAccess, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, "Remote Connection");
    RegCloseKey(key);
}

}  // namespace

namespace e2e::services {

void checkWatch(Results& results, const std::string& folder, kestrove::PlatformFamily family) {
    results.section(family == kestrove::PlatformFamily::WindowsNT ? "watch (NT)" : "watch (9x)");
    using namespace kestrove;
    const std::string settings = folder + "\\kestrove.rkf";
    win32::Win32Files files;
    // Armed at start-up, with an entry name longer than any string kept inside its own object.
    if (!CHECK(files.write(settings, "\"My Internet Service Provider\"\r\n1\r\n"))) return;
    if (family == PlatformFamily::Windows9x) CHECK(setConnectionFlag(true));

    std::size_t ticks = 0, firstTickAllocations = 0, tickAllocations = 0;
    std::size_t probes = 0, probeAllocations = 0, loopAllocations = 0;
    {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        win32::Win32Backend backend(instance);
        win32::Win32Platform services(instance);
        forms::Application app(backend);
        frmMain& main = app.form<frmMain>(services.platform());
        main.show();
        CHECK(main.chckAuto.value() == 1);

        // Around the handlers, as the timers call them. The first watch tick sizes the reused buffers;
        // the probe, once a second, may allocate.
        const auto watch = main.Timer1.onTimer;
        main.Timer1.onTimer = [&] {
            const std::size_t before = allocationCount();
            watch();
            (++ticks == 1 ? firstTickAllocations : tickAllocations) += allocationCount() - before;
        };
        const auto redial = main.tmrReconnect.onTimer;
        main.tmrReconnect.onTimer = [&] {
            const std::size_t before = allocationCount();
            redial();
            ++probes;
            probeAllocations += allocationCount() - before;
        };

        const UINT_PTR timer = SetTimer(nullptr, 0, kRunMs, endRun);
        CHECK(timer != 0);
        const std::size_t before = allocationCount();
        app.run();
        loopAllocations = allocationCount() - before - probeAllocations - firstTickAllocations;
        KillTimer(nullptr, timer);
        app.dispatch([&] { main.mnuExit.onClick(); });  // out of the tray
    }
    files.remove(settings);
    if (family == PlatformFamily::Windows9x) removeConnectionFlag();

    results.note(std::to_string(ticks) + " watch ticks, " + std::to_string(tickAllocations) +
                 " allocations in them; " + std::to_string(probes) + " probes with " +
                 std::to_string(probeAllocations) + " allocations; " + std::to_string(loopAllocations) +
                 " allocations in the message loop outside the probes");
    CHECK(ticks >= 30);  // many, even on a busy machine
    CHECK(probes >= 2);
    CHECK(tickAllocations == 0);
    CHECK(loopAllocations == 0);
}

}  // namespace e2e::services
