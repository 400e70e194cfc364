// One press of Enter delivered to another program's window, as the redial confirms the dialer's dialog:
// dialogs press the button their own dialog manager would; other windows get the key itself, in the
// order the keyboard would produce it.
#include <windows.h>

#include <algorithm>
#include <span>

#include "Checks.h"
#include "ProbeWindow.h"
#include "platform/win32/services/Win32Files.h"
#include "platform/win32/services/Win32Processes.h"
#include "platform/win32/services/Win32Windows.h"

namespace e2e::services {
namespace {

constexpr DWORD kWaitMs = 20000;
constexpr DWORD kPollMs = 50;

// One run of the double in one mode, ended by force if a check leaves it running.
class DoubleRun {
  public:
    DoubleRun(kestrove::win32::Win32Processes& processes, const std::string& folder, const std::string& mode)
        : logPath_(folder + "\\enter-" + mode + ".log") {
        files_.remove(logPath_);
        started_ = processes.start(
            "\"" + folder + "\\kestrove_services_double.exe\" " + mode + " \"" + logPath_ + "\"",
            SW_SHOWNORMAL);
        if (started_) {
            process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE,
                                   started_->id());
        }
    }
    ~DoubleRun() {
        if (process_ == nullptr) return;
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
        CloseHandle(process_);
    }
    DoubleRun(const DoubleRun&) = delete;
    DoubleRun& operator=(const DoubleRun&) = delete;

    bool started() const { return process_ != nullptr; }
    std::uint32_t id() const { return started_->id(); }

    // Its window, once it exists and the program waits for input in it.
    HWND waitForWindow(const char* windowClass, const char* title) const {
        for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
            if (HWND window = FindWindowA(windowClass, title)) {
                WaitForInputIdle(process_, kWaitMs);
                return window;
            }
            Sleep(kPollMs);
        }
        return nullptr;
    }

    bool waitForExit() const { return WaitForSingleObject(process_, kWaitMs) == WAIT_OBJECT_0; }

    std::string log() { return files_.read(logPath_).value_or("<none>"); }

  private:
    kestrove::win32::Win32Files files_;
    std::string logPath_;
    std::unique_ptr<kestrove::StartedProcess> started_;
    HANDLE process_ = nullptr;
};

struct DialogCase {
    const char* mode;
    // The log as soon as the press has returned; nullptr where the double logs only once its dialog has
    // closed, on its own time, so that no moment after the press is sure to show it.
    const char* afterPress;
    const char* atEnd;  // the log once the double has ended
    bool closesItself;
    bool background = false;  // another window is active when Enter is pressed
};

void checkDialog(Results& results, kestrove::win32::Win32Processes& processes, const std::string& folder,
                 const DialogCase& dialogCase) {
    results.section(std::string("Enter: ") + dialogCase.mode +
                    (dialogCase.background ? " in the background" : ""));
    DoubleRun run(processes, folder, dialogCase.mode);
    if (!CHECK(run.started())) return;
    const std::string title = std::string("Double ") + dialogCase.mode;
    HWND dialog = run.waitForWindow("#32770", title.c_str());
    if (!CHECK(dialog != nullptr)) return;
    // Found by its process, as the redial finds the dialer's dialog, with its class and title.
    {
        std::uint32_t ids[16] = {};
        const std::span<const std::uint32_t> tree(ids, processes.processTree(run.id(), ids));
        CHECK(!tree.empty() && tree[0] == run.id());
        WindowList windows;
        kestrove::win32::Win32Windows().processWindows(tree, windows);
        const auto found =
            std::find_if(windows.found.begin(), windows.found.end(), [&](const FoundWindow& w) {
                return w.handle == reinterpret_cast<kestrove::WindowHandle>(dialog);
            });
        CHECK(found != windows.found.end() && found->classAnsi == "#32770" && found->titleAnsi == title);
    }
    ProbeWindow mine("Mine", WS_OVERLAPPEDWINDOW | (dialogCase.background ? WS_VISIBLE : 0));
    if (dialogCase.background) {
        SetForegroundWindow(mine.get());
        CHECK(GetForegroundWindow() != dialog);
    }
    processes.sendEnter(reinterpret_cast<kestrove::WindowHandle>(dialog));
    if (dialogCase.afterPress != nullptr) {
        const std::string logged = run.log();
        if (!CHECK(logged == dialogCase.afterPress)) results.note("logged after the press [" + logged + "]");
    }
    if (!dialogCase.closesItself) PostMessageA(dialog, WM_CLOSE, 0, 0);
    if (!CHECK(run.waitForExit())) return;
    const std::string logged = run.log();
    if (!CHECK(logged == dialogCase.atEnd)) results.note("logged by the end [" + logged + "]");
}

}  // namespace

void checkEnterKey(Results& results, const std::string& folder) {
    kestrove::win32::Win32Processes processes;
    static constexpr DialogCase kDialogs[] = {
        {"default", "command 1001\n", "command 1001\n", true},  // the default button
        {"default", "command 1001\n", "command 1001\n", true, true},
        {"focus-cancel", "command 2\n", "command 2\n", true},  // a focused push button wins over the default
        {"disabled-default", "<none>", "command 2\n", false},  // not pressed; closing the dialog cancels it
        {"no-default", "command 1\n", "command 1\n", true},  // without a default button the dialog hears IDOK
        {"msgbox", nullptr, "msgbox 1\n", true},             // answered OK; logged once it has closed
    };
    for (const auto& dialogCase : kDialogs) checkDialog(results, processes, folder, dialogCase);

    // A dialog busy for longer than the sender waits: the sender gives up waiting, the press still lands.
    {
        results.section("Enter: slow dialog");
        DoubleRun run(processes, folder, "slow");
        HWND dialog = run.started() ? run.waitForWindow("#32770", "Double slow") : nullptr;
        if (CHECK(dialog != nullptr)) {
            processes.sendEnter(reinterpret_cast<kestrove::WindowHandle>(dialog));
            CHECK(run.waitForExit());
            CHECK(run.log() == "command 1001\n");
        }
    }

    // A window that is no dialog gets the key messages through its own loop, posted whether it is active
    // or not: typed ones would go to whatever is active by the time the system gets to them.
    for (const bool background : {false, true}) {
        results.section(background ? "Enter: window in the background" : "Enter: active window");
        DoubleRun run(processes, folder, "window");
        HWND window = run.started() ? run.waitForWindow("DoubleWindow", "Double window") : nullptr;
        if (!CHECK(window != nullptr)) continue;
        ProbeWindow mine("Mine", WS_OVERLAPPEDWINDOW | (background ? WS_VISIBLE : 0));
        if (background) SetForegroundWindow(mine.get());
        CHECK((GetForegroundWindow() == window) == !background);
        processes.sendEnter(reinterpret_cast<kestrove::WindowHandle>(window));
        CHECK(run.waitForExit());
        // Posted keys are translated when the double takes the key-down: after the key-up has been
        // queued, or before when the double was quicker than the poster. Either order is right.
        const std::string logged = run.log();
        if (!CHECK(logged == "keydown\nkeyup\nchar\n" || logged == "keydown\nchar\nkeyup\n")) {
            results.note("logged [" + logged + "]");
        }
    }
}

}  // namespace e2e::services
