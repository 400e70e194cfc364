// The dial-up services as a fresh Wine prefix has them (no phone-book entries, no connections), the
// notification-area icon, and starting programs.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "Checks.h"
#include "ProbeWindow.h"
#include "platform/win32/services/Win32PhoneBook.h"
#include "platform/win32/services/Win32Processes.h"
#include "platform/win32/services/Win32RasConnections.h"
#include "platform/win32/services/Win32Shell.h"

namespace e2e::services {

void checkDialUp(Results& results) {
    results.section("dial-up");
    kestrove::win32::RasLibrary library;
    kestrove::win32::Win32PhoneBook book(library);
    // 256 records of 264 bytes, the first record's size field set, as the program lays the buffer out.
    constexpr std::uint32_t kRecordSize = 264;
    std::vector<std::uint8_t> buffer(256 * kRecordSize);
    std::memcpy(buffer.data(), &kRecordSize, sizeof kRecordSize);
    std::uint32_t bytes = static_cast<std::uint32_t>(buffer.size());
    std::uint32_t count = 99;
    bool threw = false;
    std::uint32_t result = 1;
    try {
        result = book.enumEntries(buffer, bytes, count);
    } catch (const kestrove::RuntimeError& error) {
        threw = true;
        results.note(error.what());
    }
    CHECK(!threw);
    CHECK(result == 0);
    CHECK(count == 0);

    kestrove::win32::Win32RasConnections ras(library);
    std::vector<kestrove::RasConnection> connections(3);
    CHECK(ras.connections(connections));
    CHECK(connections.empty());
    // Loaded once and kept: the probe asks every second.
    CHECK(GetModuleHandleA("rasapi32.dll") != nullptr);
}

void checkTrayIcon(Results& results) {
    results.section("tray icon");
    kestrove::win32::Win32Shell shell;
    ProbeWindow probe;
    kestrove::NotifyIconRecord record;
    record.hWnd = probe.handle();
    record.uID = 1;
    record.uFlags = 7;  // message, icon, tip
    record.uCallbackMessage = 1039;
    record.hIcon = reinterpret_cast<kestrove::IconHandle>(LoadIconA(nullptr, IDI_APPLICATION));
    std::strcpy(record.szTip, "Kestrove [Activated]");
    CHECK(shell.notifyIcon(kestrove::NotifyIconMessage::Add, record));
    CHECK(!shell.notifyIcon(kestrove::NotifyIconMessage::Add, record));  // the same icon twice
    std::strcpy(record.szTip, "Kestrove [Not Activated]");
    CHECK(shell.notifyIcon(kestrove::NotifyIconMessage::Modify, record));
    CHECK(shell.notifyIcon(kestrove::NotifyIconMessage::Delete, record));
    CHECK(!shell.notifyIcon(kestrove::NotifyIconMessage::Delete, record));  // already gone
}

void checkProcesses(Results& results) {
    results.section("processes");
    kestrove::win32::Win32Processes processes;
    CHECK(processes.start("no-such-program-here.exe", SW_SHOWNORMAL) == nullptr);

    const auto started = processes.start("cmd.exe /c exit 3", SW_HIDE, true);  // without a console window
    CHECK(started != nullptr && started->id() != 0);
    if (!started) return;
    // The start does not wait; the process ends by itself within a bounded time, and its id stays its
    // own while the handle is held.
    for (int i = 0; i < 400 && started->running(); ++i) Sleep(50);
    CHECK(!started->running());
    const HANDLE ended = OpenProcess(SYNCHRONIZE, FALSE, started->id());
    CHECK(ended != nullptr && WaitForSingleObject(ended, 0) == WAIT_OBJECT_0);
    if (ended != nullptr) CloseHandle(ended);

    processes.sendEnter(0);  // no window: nothing to press, and no failure

    // Found by its program file's name alone, in any letter case: this very program.
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = std::strrchr(path, '\\') != nullptr ? std::strrchr(path, '\\') + 1 : path;
    CharUpperA(const_cast<char*>(name));
    std::uint32_t ids[64] = {};
    const std::size_t count = processes.processesNamed(name, ids);
    CHECK(std::find(ids, ids + count, GetCurrentProcessId()) != ids + count);
    CHECK(processes.processesNamed("no-such-program-here.exe", ids) == 0);
}

}  // namespace e2e::services
