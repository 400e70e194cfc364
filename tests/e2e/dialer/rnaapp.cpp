// A stand-in for the 9x family's resident dial-up helper, RNAAPP.EXE, built only for the end-to-end
// tests. The scenario starts it before any dial, so that it is no child of the program's dialer, as a
// helper left resident by an earlier connection is not. It waits with one hidden window of class
// "RnaAppDouble" until the dialer double hands it a failed dial (WM_COPYDATA with the entry name);
// then it shows the dial's error box, a "#32770" window titled "Dial-Up Networking" with a default OK
// button, which waits "give_up_ms" (default 30000) for Enter. The dialer double asks (kAskBusy) until the
// box has gone. It ends when its hidden window is closed, or after the seconds given as its argument
// (default 600), so that it never outlives a run.
//
// Log: "rnaapp-log.txt" beside the exe, one line per event: "ready", "error <entry>" (the box is up),
// "error-enter <entry>" (answered with Enter or OK), "timeout <entry>" (nobody answered), "close
// <entry>" (the box was asked to close), "end".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "DialogTemplate.h"
#include "DoubleFiles.h"
#include "RnaAppProtocol.h"

namespace {

constexpr UINT_PTR kGiveUpTimer = 1;
constexpr UINT_PTR kLifetimeTimer = 2;
constexpr UINT kShowBox = WM_APP + 1;
constexpr INT_PTR kClosed = 100;
constexpr doubles::Button kOkButton{"OK", IDOK};

std::string besideExe(const char* name) { return doubles::besideModule(nullptr, name); }

void log(const std::string& line) { doubles::appendLine(nullptr, "rnaapp-log.txt", line); }

unsigned giveUpMs() {
    unsigned ms = 30000;
    if (FILE* f = std::fopen(besideExe("rnaapp-scenario.txt").c_str(), "r")) {
        char line[128];
        while (std::fgets(line, sizeof line, f)) std::sscanf(line, "give_up_ms=%u", &ms);
        std::fclose(f);
    }
    return ms;
}

struct Helper {
    std::string entry;  // of the dial whose error is being shown
    bool busy = false;  // from the hand-over until the box has gone
};

INT_PTR CALLBACK boxProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            SetForegroundWindow(box);
            SetTimer(box, kGiveUpTimer, giveUpMs(), nullptr);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(box, LOWORD(wParam));
            return TRUE;
        case WM_TIMER:
            EndDialog(box, 0);
            return TRUE;
        case WM_CLOSE:
            // Told apart from Cancel, which the dialog manager would make of it.
            EndDialog(box, kClosed);
            return TRUE;
    }
    return FALSE;
}

void showBox(Helper& helper) {
    log("error " + helper.entry);
    static const doubles::DialogTemplate kBox("Dial-Up Networking", &kOkButton);
    const INT_PTR answer =
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), kBox.get(), nullptr, boxProc, 0);
    if (answer == IDOK) log("error-enter " + helper.entry);
    if (answer == kClosed) log("close " + helper.entry);
    if (answer != IDOK && answer != kClosed) log("timeout " + helper.entry);
    helper.busy = false;
}

LRESULT CALLBACK helperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* helper = reinterpret_cast<Helper*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (helper == nullptr || data->dwData != rnaapp::kFailedDial || helper->busy) return FALSE;
            helper->entry.assign(static_cast<const char*>(data->lpData), data->cbData);
            helper->busy = true;
            // Shown from the queue: a modal box inside a sent message would hold the sender.
            PostMessageA(window, kShowBox, 0, 0);
            return TRUE;
        }
        case kShowBox:
            if (helper != nullptr) showBox(*helper);
            return 0;
        case rnaapp::kAskBusy:
            return helper != nullptr && helper->busy ? 1 : 0;
        case WM_TIMER:
            if (wParam == kLifetimeTimer) DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const int seconds = commandLine && *commandLine ? std::atoi(commandLine) : 600;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = helperProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = rnaapp::kWindowClass;
    if (!RegisterClassA(&windowClass)) return 1;
    Helper helper;
    // Top-level, so that the dialer finds it by its class; never shown.
    HWND window =
        CreateWindowA(rnaapp::kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&helper));
    SetTimer(window, kLifetimeTimer, static_cast<UINT>(seconds > 0 ? seconds : 600) * 1000u, nullptr);
    log("ready");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    log("end");
    return 0;
}
