#include "platform/win32/services/Win32Processes.h"

#include <windows.h>

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

  private:
    OwnedHandle process_;
    DWORD id_;
};

}  // namespace

std::unique_ptr<StartedProcess> Win32Processes::start(const std::string& commandLineAnsi, int showStyle) {
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
        return nullptr;
    }
    const OwnedHandle thread(created.hThread);
    OwnedHandle process(created.hProcess);
    return std::make_unique<Win32StartedProcess>(std::move(process), created.dwProcessId);
}

void Win32Processes::sendEnter(WindowHandle window) { pressEnter(toHwnd(window)); }

}  // namespace kestrove::win32
