#include "platform/win32/services/Win32Processes.h"

#include <windows.h>

#include <vector>

#include "platform/win32/services/EnterKey.h"
#include "platform/win32/services/HandleCasts.h"
#include "platform/win32/services/SystemHandles.h"

namespace kestrove::win32 {

std::optional<std::uint32_t> Win32Processes::start(const std::string& commandLineAnsi, int showStyle) {
    // CreateProcessA may write into the command line, so it gets its own copy.
    std::vector<char> commandLine(commandLineAnsi.begin(), commandLineAnsi.end());
    commandLine.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showStyle);
    PROCESS_INFORMATION created{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &created)) {
        return std::nullopt;
    }
    // The program never waits for what it starts: only the id is kept.
    const OwnedHandle process(created.hProcess);
    const OwnedHandle thread(created.hThread);
    return created.dwProcessId;
}

bool Win32Processes::isRunning(std::uint32_t processId) {
    const OwnedHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

void Win32Processes::sendEnter(WindowHandle window) { pressEnter(toHwnd(window)); }

}  // namespace kestrove::win32
