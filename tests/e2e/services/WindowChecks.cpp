// Finding and measuring windows of any program, and the window-procedure hook the tray relies on.
#include <windows.h>

#include <cstring>
#include <span>
#include <vector>

#include "Checks.h"
#include "ProbeWindow.h"
#include "platform/win32/services/Win32WindowProcs.h"
#include "platform/win32/services/Win32Windows.h"

namespace e2e::services {
namespace {

using kestrove::MessageResult;
using kestrove::ProcAddress;
using kestrove::WindowHandle;

// What the hooked probe window saw; the service finds the hook through the window it hooks.
struct HookRecord final : kestrove::WindowHook {
    // Adds 1000 to what the window's own procedure answers to the probe's message.
    MessageResult windowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override {
        messages.push_back(message);
        if (message == ProbeWindow::kSumMessage && failNext) throw kestrove::RuntimeError("hook failed");
        const MessageResult answer = procs->call(previous, window, message, wParam, lParam);
        return message == ProbeWindow::kSumMessage ? answer + 1000 : answer;
    }

    kestrove::win32::Win32WindowProcs* procs = nullptr;
    ProcAddress previous = 0;
    std::vector<std::uint32_t> messages;
    bool failNext = false;
};

}  // namespace

void checkWindows(Results& results) {
    results.section("windows");
    kestrove::win32::Win32Windows windows;
    ProbeWindow probe;
    const WindowHandle window = probe.handle();
    CHECK(window != 0);
    CHECK(windows.findWindow(ProbeWindow::kClass, ProbeWindow::kTitle) == window);
    CHECK(windows.findWindow(nullptr, ProbeWindow::kTitle) == window);
    CHECK(windows.findWindow(ProbeWindow::kClass, nullptr) == window);
    CHECK(windows.findWindow(ProbeWindow::kClass, "Probe") == 0);   // the whole title, not a prefix
    CHECK(windows.findWindow("#32770", ProbeWindow::kTitle) == 0);  // the class counts too

    char name[256] = {};
    CHECK(windows.getClassName(window, name, sizeof name) ==
          static_cast<int>(std::strlen(ProbeWindow::kClass)));
    CHECK(std::strcmp(name, ProbeWindow::kClass) == 0);
    char small[4] = {'x', 'x', 'x', 'x'};
    CHECK(windows.getClassName(window, small, sizeof small) == 3);
    CHECK(std::strcmp(small, "Kes") == 0);

    kestrove::ScreenRect rect;
    CHECK(windows.getWindowRect(window, rect));
    CHECK(rect == (kestrove::ScreenRect{ProbeWindow::kLeft, ProbeWindow::kTop,
                                        ProbeWindow::kLeft + ProbeWindow::kWidth,
                                        ProbeWindow::kTop + ProbeWindow::kHeight}));
    // A process's windows are the visible top-level ones of that process, active or not, with class
    // and title.
    const std::uint32_t self[] = {static_cast<std::uint32_t>(GetCurrentProcessId())};
    std::vector<FoundWindow> found;
    const auto processWindow = [&](std::span<const std::uint32_t> ids) {
        WindowList list;
        windows.processWindows(ids, list);
        found = list.found;
        return found.empty() ? WindowHandle{0} : found[0].handle;
    };
    CHECK(processWindow(self) == 0);
    ShowWindow(probe.get(), SW_SHOWNOACTIVATE);
    CHECK(processWindow(self) == window && found.size() == 1 && found[0].classAnsi == ProbeWindow::kClass &&
          found[0].titleAnsi == ProbeWindow::kTitle);

    // The taskbar and its notification area, where the zoom animation ends.
    const WindowHandle taskbar = windows.findWindow("Shell_TrayWnd", nullptr);
    CHECK(taskbar != 0);
    DWORD shell = 0;
    GetWindowThreadProcessId(reinterpret_cast<HWND>(taskbar), &shell);
    const std::uint32_t shellIds[] = {static_cast<std::uint32_t>(shell)};
    CHECK(shell != GetCurrentProcessId() && processWindow(shellIds) != window);
    windows.drawAnimatedRects(window, IDANI_CAPTION, kestrove::ScreenRect{0, 0, 10, 10},
                              kestrove::ScreenRect{100, 100, 110, 110});

    DestroyWindow(probe.get());
    CHECK(processWindow(self) == 0);
    CHECK(!windows.getWindowRect(window, rect));
    name[0] = 'x';
    CHECK(windows.getClassName(window, name, sizeof name) == 0);
    CHECK(name[0] == '\0');
    CHECK(windows.findWindow(ProbeWindow::kClass, ProbeWindow::kTitle) == 0);
}

void checkWindowProcs(Results& results) {
    results.section("window procedure hook");
    kestrove::win32::Win32WindowProcs procs;
    ProbeWindow probe;
    const HWND hwnd = probe.get();
    const WindowHandle window = probe.handle();
    HookRecord record;
    record.procs = &procs;

    record.previous = procs.install(window, record);
    CHECK(record.previous == reinterpret_cast<ProcAddress>(ProbeWindow::originalProc()));
    CHECK(SendMessageA(hwnd, ProbeWindow::kSumMessage, 2, 3) == 1005);
    CHECK(!record.messages.empty() && record.messages.back() == ProbeWindow::kSumMessage);

    // A failing hook must not unwind into the system; the window's own procedure answers instead.
    record.failNext = true;
    CHECK(SendMessageA(hwnd, ProbeWindow::kSumMessage, 4, 5) == 9);
    record.failNext = false;

    // Installing over the hook reports the hook itself, as the system does, and keeps the first procedure
    // as the fallback.
    const ProcAddress again = procs.install(window, record);
    CHECK(again != record.previous);
    CHECK(again == static_cast<ProcAddress>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)));
    record.failNext = true;
    CHECK(SendMessageA(hwnd, ProbeWindow::kSumMessage, 1, 1) == 2);
    record.failNext = false;

    procs.restore(window, record.previous);
    CHECK(GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ProbeWindow::originalProc()));
    const std::size_t seen = record.messages.size();
    CHECK(SendMessageA(hwnd, ProbeWindow::kSumMessage, 2, 3) == 5);
    CHECK(record.messages.size() == seen);

    // A window destroyed while hooked goes cleanly.
    record.previous = procs.install(window, record);
    CHECK(procs.isWindow(window));
    DestroyWindow(hwnd);
    CHECK(!procs.isWindow(window));

    const std::uint32_t created = procs.registerMessage("TaskbarCreated");
    CHECK(created >= 0xC000 && created <= 0xFFFF);
    CHECK(created == procs.registerMessage("TaskbarCreated"));
    CHECK(created != procs.registerMessage("Kestrove checks.Other"));
}

}  // namespace e2e::services
