// A stand-in for the system dialer, built only for the end-to-end tests: rundll32 calls RnaDial with
// the entry name. Like the real dialer it shows a dialog for the entry and waits for Enter, then shows
// the progress window "Connecting to <entry>" for a while, setting (or leaving) the connection flag as
// it closes.
//
// Scenario: "dialer-scenario.txt" beside this DLL, lines "<key>=<n>":
//   progress_ms   how long the progress window stays (default 2000)
//   set_flag      1: set the connection flag once the progress window has closed
//   activate      0: the dialog comes up without taking the activation, as a program started from the
//                 background does under the system's foreground lock (default 1)
//   ignore_enter  1: the dialog ignores Enter and waits until it gives up
//   give_up_ms    how long the dialog waits for Enter (default 30000)
//   quit          1: return at once, without any window
// Log: "dialer-log.txt" beside this DLL, one line per event: "start <entry>", "enter <entry>",
// "inactive <entry>" (Enter arrived while the dialog was not the active window, logged before its
// "enter"), "ignored <entry>", "timeout <entry>", "done <entry>". "dialer-starts.txt": the system's
// tick count at each start, one per line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HINSTANCE gModule = nullptr;  // this DLL: set once by the loader, read-only afterwards

struct Scenario {
    unsigned progressMs = 2000;
    bool setFlag = false;
    bool activate = true;
    bool ignoreEnter = false;
    unsigned giveUpMs = 30000;
    bool quit = false;
};

std::string besideModule(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(gModule, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.find_last_of('\\') + 1);
    return folder + name;
}

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
        }
        std::fclose(f);
    }
    return s;
}

void appendLine(const char* file, const std::string& line) {
    if (FILE* f = std::fopen(besideModule(file).c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

void log(const char* event, const std::string& entry) { appendLine("dialer-log.txt", event + (" " + entry)); }

void setConnectionFlag() {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\RemoteAccess", &key) != 0)
        return;
    const BYTE up[4] = {1, 0, 0, 0};
    RegSetValueExA(key, "Remote Connection", 0, REG_BINARY, up, sizeof up);
    RegCloseKey(key);
}

// An in-memory dialog template: a caption and, for the connect dialog, a default "Connect" button.
class DialogTemplate {
  public:
    DialogTemplate(const std::string& title, bool withButton, bool visible = true) {
        DLGTEMPLATE header{};
        header.style =
            DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | (visible ? WS_VISIBLE : 0);
        header.cdit = withButton ? 1 : 0;
        header.cx = 200;
        header.cy = 60;
        append(&header, sizeof header);
        word(0);  // no menu
        word(0);  // the standard dialog class
        text(title);
        if (withButton) {
            align();
            DLGITEMTEMPLATE item{};
            item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
            item.x = 70;
            item.y = 30;
            item.cx = 60;
            item.cy = 14;
            item.id = IDOK;
            append(&item, sizeof item);
            word(0xFFFF);
            word(0x0080);  // button class
            text("Connect");
            word(0);  // no creation data
        }
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

  private:
    void append(const void* data, std::size_t size) {
        const auto* p = static_cast<const char*>(data);
        bytes_.append(p, size);
    }
    void word(WORD w) { append(&w, sizeof w); }
    void text(const std::string& s) {
        for (char c : s) word(static_cast<unsigned char>(c));
        word(0);
    }
    void align() {
        while (bytes_.size() % 4 != 0) bytes_.push_back('\0');
    }
    std::string bytes_;
};

constexpr UINT_PTR kGiveUpTimer = 1;
constexpr UINT_PTR kProgressTimer = 2;

struct Connect {
    const Scenario& scenario;
    const std::string& entry;
};

INT_PTR CALLBACK connectProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto& connect = *reinterpret_cast<const Connect*>(lParam);
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            if (connect.scenario.activate) {
                SetForegroundWindow(dialog);
            } else {
                // Shown here, so that the dialog manager finds it visible and does not show (and
                // activate) it itself.
                ShowWindow(dialog, SW_SHOWNOACTIVATE);
            }
            SetTimer(dialog, kGiveUpTimer, connect.scenario.giveUpMs, nullptr);
            // Setting the focus would activate the dialog.
            return connect.scenario.activate ? TRUE : FALSE;
        }
        case WM_COMMAND: {
            const auto& connect = *reinterpret_cast<const Connect*>(GetWindowLongPtrA(dialog, DWLP_USER));
            if (LOWORD(wParam) == IDOK && connect.scenario.ignoreEnter) {
                log("ignored", connect.entry);
                return TRUE;
            }
            if (LOWORD(wParam) == IDOK && GetForegroundWindow() != dialog) log("inactive", connect.entry);
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        case WM_TIMER:
            EndDialog(dialog, 0);
            return TRUE;
    }
    return FALSE;
}

// The flag goes up while the progress window is still open, as a real connection comes up before its
// window closes: a keeper that looked in between would otherwise see neither and dial once more.
INT_PTR CALLBACK progressProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            const auto& scenario = *reinterpret_cast<const Scenario*>(lParam);
            SetTimer(dialog, kProgressTimer, scenario.progressMs, nullptr);
            return TRUE;
        }
        case WM_TIMER:
            if (reinterpret_cast<const Scenario*>(GetWindowLongPtrA(dialog, DWLP_USER))->setFlag) {
                setConnectionFlag();
            }
            EndDialog(dialog, IDOK);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

extern "C" __declspec(dllexport) void CALLBACK RnaDial(HWND, HINSTANCE, LPSTR commandLine, int) {
    const std::string entry = commandLine ? commandLine : "";
    const Scenario scenario = readScenario();
    log("start", entry);
    appendLine("dialer-starts.txt", std::to_string(GetTickCount()));
    if (scenario.quit) return;

    const DialogTemplate connect("Connect To", true, scenario.activate);
    const Connect context{scenario, entry};
    const INT_PTR answer = DialogBoxIndirectParamA(gModule, connect.get(), nullptr, connectProc,
                                                   reinterpret_cast<LPARAM>(&context));
    if (answer != IDOK) {
        log("timeout", entry);
        return;
    }
    log("enter", entry);

    const DialogTemplate progress("Connecting to " + entry, false);
    DialogBoxIndirectParamA(gModule, progress.get(), nullptr, progressProc,
                            reinterpret_cast<LPARAM>(&scenario));
    log("done", entry);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) gModule = module;
    return TRUE;
}
