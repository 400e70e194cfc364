// A program of its own for the Enter-key checks: shows one kind of window and logs what reaches it.
//   kestrove_services_double <mode> <log file>
// Dialog modes (a command logs "command <id>" and closes the dialog): default, slow (a command takes
// longer than the sender waits), busy (busy in a handler of its own for a while once it is shown, between
// logging "busy" and "free"), focus-cancel (Cancel has the focus), disabled-default, no-default.
// msgbox: an OK/Cancel message box, logging "msgbox <answer>" once it has closed.
// window: a plain window logging "keydown", "char" and "keyup" for Enter; it ends after the key-up.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ServicesDoubleIds.h"

namespace {

struct Session {
    std::string mode;
    std::string logPath;

    void log(const std::string& line) const {
        if (std::FILE* file = std::fopen(logPath.c_str(), "ab")) {
            std::fputs((line + "\n").c_str(), file);
            std::fclose(file);
        }
    }
};

const Session& sessionOf(HWND dialog) {
    return *reinterpret_cast<const Session*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const Session& session = sessionOf(dialog);
        SetWindowTextA(dialog, ("Double " + session.mode).c_str());
        if (session.mode == "busy") PostMessageA(dialog, WM_APP, 0, 0);
        if (session.mode == "focus-cancel") {
            SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDCANCEL)), TRUE);
            return FALSE;
        }
        return TRUE;
    }
    if (message == WM_APP) {
        sessionOf(dialog).log("busy");
        Sleep(4000);
        sessionOf(dialog).log("free");
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        const Session& session = sessionOf(dialog);
        // Busy for a while: a sender that returns before this has been logged did not wait.
        Sleep(session.mode == "slow" ? 3000 : 300);
        session.log("command " + std::to_string(LOWORD(wParam)));
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    const auto* session = reinterpret_cast<const Session*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (session != nullptr) {
        if (message == WM_KEYDOWN && wParam == VK_RETURN) session->log("keydown");
        if (message == WM_CHAR && wParam == '\r') session->log("char");
        if (message == WM_KEYUP && wParam == VK_RETURN) {
            session->log("keyup");
            PostQuitMessage(0);
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int runWindow(HINSTANCE instance, Session& session) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "DoubleWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("DoubleWindow", "Double window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                200, 100, nullptr, nullptr, instance, &session);
    if (window == nullptr) return 1;
    SetFocus(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyWindow(window);
    return 0;
}

int dialogFor(const std::string& mode) {
    if (mode == "default" || mode == "slow" || mode == "busy" || mode == "focus-cancel")
        return IDD_WITH_DEFAULT;
    if (mode == "disabled-default") return IDD_WITH_DISABLED_DEFAULT;
    if (mode == "no-default") return IDD_WITHOUT_DEFAULT;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    Session session{argv[1], argv[2]};
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (session.mode == "window") return runWindow(instance, session);
    if (session.mode == "msgbox") {
        const int answer = MessageBoxA(nullptr, "Dial now?", "Double msgbox", MB_OKCANCEL);
        session.log("msgbox " + std::to_string(answer));
        return 0;
    }
    const int dialog = dialogFor(session.mode);
    if (dialog == 0) return 2;
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(dialog), nullptr, dialogProc,
                                            reinterpret_cast<LPARAM>(&session)));
}
