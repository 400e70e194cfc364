#include "platform/win32/services/EnterKey.h"

#include <cstring>

#include "platform/win32/services/HandleCasts.h"

// Synthesised input (keybd_event, SendInput) reaches whichever window is active when the system gets to
// it, and nothing tells when it has been handled. Dialogs are therefore answered the way their own
// dialog manager answers Enter: the button that Enter would press is told it was clicked, with a sent
// (synchronous) WM_COMMAND. That does not depend on activation, works across processes and returns
// once the dialog has acted. Other windows get the key itself, posted to their focus window.

namespace kestrove::win32 {
namespace {

// A dialog that runs a long job inside its button handler must not freeze this program for longer.
constexpr UINT kWaitMs = 2000;

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

LRESULT sendAndWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, kWaitMs,
                             &result)) {
        return 0;
    }
    return static_cast<LRESULT>(result);
}

void click(HWND dialog, int id, HWND button) {
    sendAndWait(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// The dialog manager's rule: a focused push button is pressed; otherwise the default button, unless it
// is disabled; a dialog without a default button hears IDOK.
void pressDialogButton(HWND dialog) {
    const HWND focus = focusInThreadOf(dialog);
    if (focus != nullptr && IsChild(dialog, focus) &&
        (sendAndWait(focus, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0) {
        click(dialog, GetDlgCtrlID(focus), focus);
        return;
    }
    const LRESULT defaultId = sendAndWait(dialog, DM_GETDEFID, 0, 0);
    if (HIWORD(defaultId) == DC_HASDEFID) {
        const int id = LOWORD(defaultId);
        const HWND button = GetDlgItem(dialog, id);
        if (button == nullptr || IsWindowEnabled(button)) click(dialog, id, button);
        return;
    }
    click(dialog, IDOK, GetDlgItem(dialog, IDOK));
}

// Another window gets the key's messages in its queue as the keyboard would leave them there, at its
// focus window; its own loop translates and routes them (WM_CHAR, accelerators). Typed input would go
// to whatever window is active when the system gets to it, which need not be this one.
void pressKey(HWND window) {
    const HWND focus = focusInThreadOf(window);
    const HWND target = focus != nullptr && (focus == window || IsChild(window, focus)) ? focus : window;
    const DWORD keyData = 1u | (MapVirtualKeyA(VK_RETURN, 0) << 16);
    const DWORD releaseFlags = (1u << 30) | (1u << 31);  // was down; is being released
    PostMessageA(target, WM_KEYDOWN, VK_RETURN, static_cast<LPARAM>(keyData));
    PostMessageA(target, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(keyData | releaseFlags));
    // Another thread handles what it was sent before its posted messages, so the reply only shows that
    // it has woken up and is taking its messages, the key next. This program's own windows get the key
    // at the caller's next pass over the message queue.
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) sendAndWait(window, WM_NULL, 0, 0);
}

}  // namespace

void pressEnter(HWND window) {
    if (window == nullptr || !IsWindow(window)) return;
    if (isDialog(window)) {
        pressDialogButton(window);
    } else {
        pressKey(window);
    }
}

}  // namespace kestrove::win32
