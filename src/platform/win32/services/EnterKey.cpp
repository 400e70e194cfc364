#include "platform/win32/services/EnterKey.h"

#include <cstring>
#include <optional>

#include "platform/win32/services/HandleCasts.h"

// Synthesised input (keybd_event, SendInput) reaches whichever window is active when the system gets to
// it. Dialogs are therefore answered the way their own dialog manager answers Enter: the button that
// Enter would press is told it was clicked, with a posted WM_COMMAND. That does not depend on activation
// and works across processes. Other windows get the key itself, posted to their focus window, and so
// does a dialog too busy to say which its button is: its own dialog manager then decides once it gets
// to the key. Nothing here waits for the other program for more than a moment: a dialer busy in its
// own handler must not freeze this program's window.

namespace kestrove::win32 {
namespace {

// How long a question to the other program may hold up this one's window.
constexpr UINT kAskMs = 100;

bool isDialog(HWND window) {
    char name[8] = {};
    return GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, "#32770") == 0;
}

// The window with the keyboard focus in the thread that owns `window`; NULL where the system cannot say
// (GetGUIThreadInfo is missing on Windows 95).
HWND focusInThreadOf(HWND window) {
    using GetGuiThreadInfoFn = BOOL(WINAPI*)(DWORD, GUITHREADINFO*);
    const HMODULE user = GetModuleHandleA("user32.dll");
    const auto getInfo =
        user ? procAs<GetGuiThreadInfoFn>(GetProcAddress(user, "GetGUIThreadInfo")) : nullptr;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (getInfo == nullptr || thread == 0) return nullptr;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return getInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// The answer, or nothing when the window does not give it within a moment.
std::optional<LRESULT> ask(HWND window, UINT message) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kAskMs, &result)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

void click(HWND dialog, int id, HWND button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// The key's messages in the window's queue as the keyboard would leave them there, at its focus window;
// its own loop translates and routes them (WM_CHAR, accelerators, a dialog's Enter). Typed input would
// go to whatever window is active when the system gets to it, which need not be this one.
void postKey(HWND window) {
    const HWND focus = focusInThreadOf(window);
    const HWND target = focus != nullptr && (focus == window || IsChild(window, focus)) ? focus : window;
    const DWORD keyData = 1u | (MapVirtualKeyA(VK_RETURN, 0) << 16);
    const DWORD releaseFlags = (1u << 30) | (1u << 31);  // was down; is being released
    PostMessageA(target, WM_KEYDOWN, VK_RETURN, static_cast<LPARAM>(keyData));
    PostMessageA(target, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(keyData | releaseFlags));
}

// The dialog manager's rule: a focused push button is pressed; otherwise the default button, unless it
// is disabled; a dialog without a default button hears IDOK.
void pressDialogButton(HWND dialog) {
    const HWND focus = focusInThreadOf(dialog);
    if (focus != nullptr && IsChild(dialog, focus)) {
        const auto code = ask(focus, WM_GETDLGCODE);
        if (!code) return postKey(dialog);
        if ((*code & DLGC_DEFPUSHBUTTON) != 0) return click(dialog, GetDlgCtrlID(focus), focus);
    }
    const auto defaultId = ask(dialog, DM_GETDEFID);
    if (!defaultId) return postKey(dialog);
    if (HIWORD(*defaultId) == DC_HASDEFID) {
        const int id = LOWORD(*defaultId);
        const HWND button = GetDlgItem(dialog, id);
        if (button == nullptr || IsWindowEnabled(button)) click(dialog, id, button);
        return;
    }
    click(dialog, IDOK, GetDlgItem(dialog, IDOK));
}

}  // namespace

void pressEnter(HWND window) {
    if (window == nullptr || !IsWindow(window)) return;
    if (isDialog(window)) {
        pressDialogButton(window);
    } else {
        postKey(window);
    }
}

}  // namespace kestrove::win32
