#include "platform/win32/services/Win32Processes.h"

// tlhelp32.h needs the types of windows.h.
// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/SystemCodes.h"
#include "platform/win32/services/EnterKey.h"
#include "platform/win32/services/HandleCasts.h"
#include "platform/win32/services/SystemHandles.h"

namespace kestrove::win32 {

static_assert(sys::kSwHide == SW_HIDE && sys::kSwShowNormal == SW_SHOWNORMAL);

namespace {

class Win32StartedProcess final : public StartedProcess {
  public:
    Win32StartedProcess(OwnedHandle&& process, DWORD id) : process_(std::move(process)), id_(id) {}
    std::uint32_t id() const override { return id_; }
    bool running() override { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    std::uint32_t exitCode() override {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.get(), &code);
        return code;
    }
    void terminate() override { TerminateProcess(process_.get(), 1); }

  private:
    OwnedHandle process_;
    DWORD id_;
};

}  // namespace

std::unique_ptr<StartedProcess> Win32Processes::start(const std::string& commandLineAnsi, int showStyle,
                                                      bool noConsoleWindow) {
    // CreateProcessA may write into the command line, so it gets its own copy.
    std::vector<char> commandLine(commandLineAnsi.begin(), commandLineAnsi.end());
    commandLine.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showStyle);
    PROCESS_INFORMATION created{};
    // The show style alone does not keep a console window away where a terminal program hosts consoles.
    const DWORD flags = noConsoleWindow ? CREATE_NO_WINDOW : 0;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                        &startup, &created)) {
        return nullptr;
    }
    const OwnedHandle thread(created.hThread);
    OwnedHandle process(created.hProcess);
    return std::make_unique<Win32StartedProcess>(std::move(process), created.dwProcessId);
}

void Win32Processes::sendEnter(WindowHandle window) { pressEnter(toHwnd(window)); }

// Toolhelp32's parent process ids (Windows 95 and 2000 on). A process id of the list may be reused after
// its process ended; the tree only grows from the dialer held open, whose id is not.
std::size_t Win32Processes::processTree(std::uint32_t root, std::span<std::uint32_t> ids) {
    if (ids.empty()) return 0;
    ids[0] = root;
    std::size_t count = 1;
    const OwnedFile list(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));  // fails as INVALID_HANDLE_VALUE
    if (!list) return count;
    // Walked again while it adds processes: a child may come before its parent in the list.
    for (std::size_t known = 0; known != count && count < ids.size();) {
        known = count;
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(list.get(), &entry); more && count < ids.size();
             more = Process32Next(list.get(), &entry)) {
            const auto tree = ids.first(count);
            const bool childOfTree =
                std::find(tree.begin(), tree.end(), entry.th32ParentProcessID) != tree.end();
            if (childOfTree && std::find(tree.begin(), tree.end(), entry.th32ProcessID) == tree.end())
                ids[count++] = entry.th32ProcessID;
        }
    }
    return count;
}

// The 9x family's list holds each program's full path, the NT family's only its file name.
std::size_t Win32Processes::processesNamed(const char* exeNameAnsi, std::span<std::uint32_t> ids) {
    std::size_t count = 0;
    const OwnedFile list(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!list) return count;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(list.get(), &entry); more && count < ids.size();
         more = Process32Next(list.get(), &entry)) {
        const char* file = entry.szExeFile;
        for (const char* c = file; *c != '\0'; ++c) {
            if (*c == '\\') file = c + 1;
        }
        if (lstrcmpiA(file, exeNameAnsi) == 0) ids[count++] = entry.th32ProcessID;
    }
    return count;
}

}  // namespace kestrove::win32
