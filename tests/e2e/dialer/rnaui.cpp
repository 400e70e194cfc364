// A stand-in for the system dialer, built only for the end-to-end tests: rundll32 calls RnaDial with
// the entry name. Like the real dialer it shows a dialog for the entry and waits for Enter, then shows
// the progress window "Connecting to <entry>" (its default button is Cancel, which hangs up) for a
// while, setting (or leaving) the connection flag as it closes.
//
// Scenario: "dialer-scenario.txt" beside this DLL, lines "<key>=<n>":
//   progress_ms      how long the progress window stays (default 2000)
//   set_flag         1: set the connection flag once the progress window has closed
//   activate         0: the dialogs come up without taking the activation, as a program started from
//                    the background does under the system's foreground lock (default 1)
//   ignore_enter     1: the dialogs ignore Enter and wait until they give up
//   give_up_ms       how long a dialog waits for Enter (default 30000)
//   quit             1: return at once, without any window
//   dialog_delay_ms  the dialog comes up that long after the start, as on a slow machine (default 0)
//   progress_first   1: no dialog: the progress window comes first, as when the entry does not prompt
//   error_box        1: the dial fails: once the progress window has closed, an error box with a
//                    default OK button waits for Enter, and the dialer ends once it is answered
//   helper           1: the dial fails, and the resident helper double (RNAAPP.EXE, rnaapp.cpp) shows
//                    the error box instead: once the progress window has closed, the dialer hands the
//                    failure to it and waits, without a window of its own, until that box has gone
// Log: "dialer-log.txt" beside this DLL, one line per event: "start <entry>", "dialog <entry>" (a
// delayed dialog has come up), "enter <entry>", "inactive <entry>" (Enter arrived while a dialog was
// not the active window, logged before its "enter"), "ignored <entry>", "timeout <entry>", "cancel
// <entry>" (the progress window's Cancel was pressed), "error <entry>" (the error box comes up),
// "error-enter <entry>", "close <entry>" (a window was asked to close; the dialer then ends), "handed
// <entry>" (the failure went to the helper), "no-helper <entry>" (none was running), "done <entry>".
// "dialer-starts.txt": the system's tick count at each start, one per line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DialogTemplate.h"
#include "DoubleFiles.h"
#include "RnaAppProtocol.h"

namespace {

using doubles::Button;
using doubles::DialogTemplate;

HINSTANCE gModule = nullptr;  // this DLL: set once by the loader, read-only afterwards

struct Scenario {
    unsigned progressMs = 2000;
    bool setFlag = false;
    bool activate = true;
    bool ignoreEnter = false;
    unsigned giveUpMs = 30000;
    bool quit = false;
    unsigned dialogDelayMs = 0;
    bool progressFirst = false;
    bool errorBox = false;
    bool helper = false;
};

std::string besideModule(const char* name) { return doubles::besideModule(gModule, name); }

Scenario readScenario() {
    Scenario s;
    if (FILE* f = std::fopen(besideModule("dialer-scenario.txt").c_str(), "r")) {
        char line[128];
        while (std::fgets(line, sizeof line, f)) {
            unsigned value = 0;
            if (std::sscanf(line, "progress_ms=%u", &value) == 1) s.progressMs = value;
            if (std::sscanf(line, "set_flag=%u", &value) == 1) s.setFlag = value != 0;
            if (std::sscanf(line, "activate=%u", &value) == 1) s.activate = value != 0;
            if (std::sscanf(line, "ignore_enter=%u", &value) == 1) s.ignoreEnter = value != 0;
            if (std::sscanf(line, "give_up_ms=%u", &value) == 1) s.giveUpMs = value;
            if (std::sscanf(line, "quit=%u", &value) == 1) s.quit = value != 0;
            if (std::sscanf(line, "dialog_delay_ms=%u", &value) == 1) s.dialogDelayMs = value;
            if (std::sscanf(line, "progress_first=%u", &value) == 1) s.progressFirst = value != 0;
            if (std::sscanf(line, "error_box=%u", &value) == 1) s.errorBox = value != 0;
            if (std::sscanf(line, "helper=%u", &value) == 1) s.helper = value != 0;
        }
        std::fclose(f);
    }
    return s;
}

void appendLine(const char* file, const std::string& line) { doubles::appendLine(gModule, file, line); }

void log(const char* event, const std::string& entry) { appendLine("dialer-log.txt", event + (" " + entry)); }

void setConnectionFlag() {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\RemoteAccess", &key) != 0)
        return;
    const BYTE up[4] = {1, 0, 0, 0};
    RegSetValueExA(key, "Remote Connection", 0, REG_BINARY, up, sizeof up);
    RegCloseKey(key);
}

constexpr UINT_PTR kGiveUpTimer = 1;
constexpr UINT_PTR kProgressTimer = 2;
// What a dialog ends with when it was asked to close rather than answered or timed out.
constexpr INT_PTR kClosed = 100;
constexpr Button kConnectButton{"Connect", IDOK};
constexpr Button kCancelButton{"Cancel", IDCANCEL};
constexpr Button kOkButton{"OK", IDOK};

struct Dialer {
    const Scenario& scenario;
    const std::string& entry;
};

const Dialer& dialerOf(HWND dialog) {
    return *reinterpret_cast<const Dialer*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// A close request is told apart from Cancel: the dialog manager turns it into IDCANCEL otherwise.
bool closeRequested(HWND dialog, UINT message) {
    if (message != WM_CLOSE) return false;
    log("close", dialerOf(dialog).entry);
    EndDialog(dialog, kClosed);
    return true;
}

// The dialogs that wait for Enter: the connect dialog and the error box.
INT_PTR CALLBACK answerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto& dialer = *reinterpret_cast<const Dialer*>(lParam);
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            if (dialer.scenario.activate) {
                SetForegroundWindow(dialog);
            } else {
                // Shown here, so that the dialog manager finds it visible and does not show (and
                // activate) it itself.
                ShowWindow(dialog, SW_SHOWNOACTIVATE);
            }
            SetTimer(dialog, kGiveUpTimer, dialer.scenario.giveUpMs, nullptr);
            // Setting the focus would activate the dialog.
            return dialer.scenario.activate ? TRUE : FALSE;
        }
        case WM_COMMAND: {
            const Dialer& dialer = dialerOf(dialog);
            if (LOWORD(wParam) == IDOK && dialer.scenario.ignoreEnter) {
                log("ignored", dialer.entry);
                return TRUE;
            }
            if (LOWORD(wParam) == IDOK && GetForegroundWindow() != dialog) log("inactive", dialer.entry);
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        case WM_TIMER:
            EndDialog(dialog, 0);
            return TRUE;
    }
    return closeRequested(dialog, message);
}

// The flag goes up while the progress window is still open, as a real connection comes up before its
// window closes: a keeper that looked in between would otherwise see neither and dial once more.
INT_PTR CALLBACK progressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            SetTimer(dialog, kProgressTimer, reinterpret_cast<const Dialer*>(lParam)->scenario.progressMs,
                     nullptr);
            return TRUE;
        }
        case WM_TIMER:
            if (dialerOf(dialog).scenario.setFlag) setConnectionFlag();
            EndDialog(dialog, IDOK);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDCANCEL) return FALSE;
            log("cancel", dialerOf(dialog).entry);
            EndDialog(dialog, IDCANCEL);
            return TRUE;
    }
    return closeRequested(dialog, message);
}

INT_PTR showDialog(const DialogTemplate& dialog, DLGPROC proc, const Dialer& dialer) {
    return DialogBoxIndirectParamA(gModule, dialog.get(), nullptr, proc, reinterpret_cast<LPARAM>(&dialer));
}

// Waits with nothing on the screen, still taking the messages the system sends its thread.
void waitWithoutWindows(DWORD ms) {
    const DWORD start = GetTickCount();
    for (DWORD spent = 0; spent < ms; spent = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
}

// The connect dialog, answered (true) or not; logs what became of it.
bool connectAnswered(const Dialer& dialer) {
    if (dialer.scenario.dialogDelayMs > 0) {
        waitWithoutWindows(dialer.scenario.dialogDelayMs);
        log("dialog", dialer.entry);
    }
    const DialogTemplate connect("Connect To", &kConnectButton, dialer.scenario.activate);
    const INT_PTR answer = showDialog(connect, answerProc, dialer);
    if (answer == IDOK) log("enter", dialer.entry);
    if (answer != IDOK && answer != kClosed) log("timeout", dialer.entry);
    return answer == IDOK;
}

// The failed dial handed to the resident helper, which shows its error box; returns once that box has
// gone (or the box's own time limit has passed, with some to spare).
void handToHelper(const Dialer& dialer) {
    HWND helper = FindWindowA(rnaapp::kWindowClass, nullptr);
    COPYDATASTRUCT data{rnaapp::kFailedDial, static_cast<DWORD>(dialer.entry.size()),
                        const_cast<char*>(dialer.entry.data())};
    DWORD_PTR taken = FALSE;
    if (helper == nullptr ||
        !SendMessageTimeoutA(helper, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 5000,
                             &taken) ||
        !taken) {
        log("no-helper", dialer.entry);
        return;
    }
    log("handed", dialer.entry);
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD_PTR busy = 0;
        if (!SendMessageTimeoutA(helper, rnaapp::kAskBusy, 0, 0, SMTO_NORMAL, 5000, &busy) || !busy) return;
        if (GetTickCount() - start > dialer.scenario.giveUpMs + 10000) return;
        waitWithoutWindows(100);
    }
}

}  // namespace

extern "C" __declspec(dllexport) void CALLBACK RnaDial(HWND, HINSTANCE, LPSTR commandLine, int) {
    const std::string entry = commandLine ? commandLine : "";
    const Scenario scenario = readScenario();
    log("start", entry);
    appendLine("dialer-starts.txt", std::to_string(GetTickCount()));
    if (scenario.quit) return;

    const Dialer dialer{scenario, entry};
    if (!scenario.progressFirst && !connectAnswered(dialer)) return;

    const DialogTemplate progress("Connecting to " + entry, &kCancelButton);
    const INT_PTR dialled = showDialog(progress, progressProc, dialer);
    if (dialled == kClosed) return;
    if (dialled == IDOK && scenario.helper) {
        handToHelper(dialer);
        log("done", entry);
        return;
    }
    if (dialled == IDOK && scenario.errorBox) {
        log("error", entry);
        const DialogTemplate error("Dial-Up Networking", &kOkButton, scenario.activate);
        const INT_PTR answer = showDialog(error, answerProc, dialer);
        if (answer == kClosed) return;
        log(answer == IDOK ? "error-enter" : "timeout", entry);
    }
    log("done", entry);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) gModule = module;
    return TRUE;
}
