#include "Commands.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "Args.h"
#include "Deadline.h"
#include "Inside.h"
#include "Lookup.h"
#include "Menus.h"
#include "Power.h"
#include "menureader/MenuReaderProtocol.h"
#include "platform/win32/Owned.h"

namespace e2e {
namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;

int fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    return kFailed;
}

int badArgument(const std::string& word) {
    std::fprintf(stderr, "cannot read argument '%s'\n", word.c_str());
    return kBadArguments;
}

void printHandle(const void* handle) {
    std::printf("0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
}

// The window and, when asked for, one of its controls; both must exist.
struct Target {
    HWND window = nullptr;
    HWND control = nullptr;
};

std::optional<Target> target(Words words, bool withControl) {
    Target found;
    found.window = findTopLevel(words[0]);
    if (found.window == nullptr) {
        fail("no window titled", words[0]);
        return std::nullopt;
    }
    if (!withControl) return found;
    const auto id = parseNumber(words[1]);
    found.control = id ? findControl(found.window, static_cast<int>(*id)) : nullptr;
    if (found.control == nullptr) {
        fail("no control with id", words[1]);
        return std::nullopt;
    }
    return found;
}

int printAnswer(const std::optional<LRESULT>& answer) {
    if (!answer) return fail("no answer from", "the window");
    std::printf("%lld\n", static_cast<long long>(*answer));
    return kDone;
}

int waitWindow(Words words) {
    const auto seconds = parseNumber(words[1]);
    if (!seconds || *seconds < 0) return badArgument(words[1]);
    HWND window = waitForWindow(words[0], static_cast<double>(*seconds));
    if (window == nullptr) return fail("no answering window titled", words[0]);
    printHandle(window);
    return kDone;
}

int waitGone(Words words) {
    const auto seconds = parseNumber(words[1]);
    if (!seconds || *seconds < 0) return badArgument(words[1]);
    return waitUntilGone(words[0], static_cast<double>(*seconds)) ? kDone : fail("still there", words[0]);
}

int visible(Words words) {
    const auto found = target(words, words.size() > 1);
    if (!found) return kFailed;
    std::printf("%d\n", IsWindowVisible(found->control ? found->control : found->window) ? 1 : 0);
    return kDone;
}

int clientSize(Words words) {
    const auto found = target(words, false);
    if (!found) return kFailed;
    RECT client{};
    GetClientRect(found->window, &client);
    std::printf("%ldx%ld\n", client.right - client.left, client.bottom - client.top);
    return kDone;
}

int printScreenRect(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    std::printf("%ld %ld %ld %ld\n", outer.left, outer.top, outer.right, outer.bottom);
    return kDone;
}

int windowRect(Words words) {
    const auto found = target(words, false);
    return found ? printScreenRect(found->window) : kFailed;
}

// A control's rectangle in screen pixels, for a real mouse to rest on it.
int controlRect(Words words) {
    const auto found = target(words, true);
    return found ? printScreenRect(found->control) : kFailed;
}

// The client area in screen pixels, for cropping screenshots.
int clientRect(Words words) {
    const auto found = target(words, false);
    if (!found) return kFailed;
    RECT client{};
    GetClientRect(found->window, &client);
    POINT topLeft{client.left, client.top};
    POINT bottomRight{client.right, client.bottom};
    ClientToScreen(found->window, &topLeft);
    ClientToScreen(found->window, &bottomRight);
    std::printf("%ld %ld %ld %ld\n", topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    return kDone;
}

int systemColour(Words words) {
    const auto index = parseNumber(words[0]);
    if (!index || *index < 0 || *index > COLOR_MENUBAR) return badArgument(words[0]);
    const COLORREF colour = GetSysColor(static_cast<int>(*index));
    std::printf("%u %u %u\n", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return kDone;
}

int screenSize(Words) {
    std::printf("%dx%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return kDone;
}

int text(Words words) {
    const auto found = target(words, true);
    if (!found) return kFailed;
    const auto content = textOf(found->control);
    if (!content) return fail("no answer from control", words[1]);
    std::printf("%s\n", content->c_str());
    return kDone;
}

// The text of the control's tooltip, as the user sees it when the mouse rests there; exit 1 when the
// control has no tooltip.
int toolTip(Words words) {
    const auto found = target(words, true);
    if (!found) return kFailed;
    const auto content =
        askInside(found->window, menureader::kReadToolTipMessage, reinterpret_cast<LPARAM>(found->control));
    if (!content) return fail("cannot read the tooltips of", words[0]);
    if (*content == menureader::kNoToolTip) return fail("no tooltip for control", words[1]);
    std::printf("%s\n", content->c_str());
    return kDone;
}

BOOL CALLBACK findBalloon(HWND window, LPARAM context) {
    constexpr LONG kBalloonStyle = 0x40;  // TTS_BALLOON
    if (classOf(window) == "tooltips_class32" && IsWindowVisible(window) &&
        (GetWindowLongA(window, GWL_STYLE) & kBalloonStyle) != 0) {
        *reinterpret_cast<HWND*>(context) = window;
        return FALSE;
    }
    return TRUE;
}

// The text of the balloon the notification area shows, once one is shown: a tooltip shows its text
// as its window text.
int balloon(Words words) {
    const auto seconds = parseNumber(words[0]);
    if (!seconds || *seconds < 0) return badArgument(words[0]);
    const Deadline deadline(static_cast<double>(*seconds));
    for (;;) {
        HWND shown = nullptr;
        EnumWindows(findBalloon, reinterpret_cast<LPARAM>(&shown));
        const auto content = shown ? textOf(shown) : std::nullopt;
        if (content && !content->empty()) {
            std::printf("%s\n", content->c_str());
            return kDone;
        }
        if (deadline.passed()) return fail("no balloon", "shown");
        Sleep(50);
    }
}

int checkState(Words words) {
    const auto found = target(words, true);
    return found ? printAnswer(sendWithin(found->control, BM_GETCHECK, 0, 0)) : kFailed;
}

int click(Words words) {
    const auto found = target(words, true);
    if (!found) return kFailed;
    return sendWithin(found->control, BM_CLICK, 0, 0) ? kDone : fail("no answer from control", words[1]);
}

int comboAdd(Words words) {
    const auto found = target(words, true);
    if (!found) return kFailed;
    const auto index =
        sendWithin(found->control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(words[2].c_str()));
    if (!index || *index < 0) return fail("could not add", words[2]);
    return printAnswer(index);
}

// Selects the item and tells the window, in the order a pick with the mouse does.
int comboPick(Words words) {
    const auto found = target(words, true);
    if (!found) return kFailed;
    const auto index = sendWithin(found->control, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(words[2].c_str()));
    if (!index || *index < 0) return fail("no item", words[2]);
    const auto id = static_cast<WORD>(GetDlgCtrlID(found->control));
    const auto source = reinterpret_cast<LPARAM>(found->control);
    for (const WORD code : {WORD{CBN_SELCHANGE}, WORD{CBN_SELENDOK}}) {
        if (!sendWithin(found->window, WM_COMMAND, MAKEWPARAM(id, code), source)) {
            return fail("no answer from", words[0]);
        }
    }
    return printAnswer(index);
}

// An arrow key pressed in the combo box's edit field, as the keyboard delivers it there.
int comboKey(Words words) {
    const auto found = target(words, true);
    if (!found) return kFailed;
    UINT key = 0;
    if (words[2] == "up") key = VK_UP;
    if (words[2] == "down") key = VK_DOWN;
    if (key == 0) return badArgument(words[2]);
    HWND edit = FindWindowExA(found->control, nullptr, "Edit", nullptr);
    if (edit == nullptr) return fail("no edit field in control", words[1]);
    constexpr LPARAM kExtended = 1 << 24;
    const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyA(key, 0)) << 16) | kExtended;
    const LPARAM up = down | static_cast<LPARAM>(0xC0000000u);
    if (!PostMessageA(edit, WM_KEYDOWN, key, down) || !PostMessageA(edit, WM_KEYUP, key, up)) {
        return fail("cannot post to", words[1]);
    }
    return kDone;
}

// The open list of a combo box: a top-level window of the combo box's thread.
HWND openListOf(HWND combo) {
    const DWORD thread = GetWindowThreadProcessId(combo, nullptr);
    for (HWND list = FindWindowExA(nullptr, nullptr, "ComboLBox", nullptr); list != nullptr;
         list = FindWindowExA(nullptr, list, "ComboLBox", nullptr)) {
        if (IsWindowVisible(list) && GetWindowThreadProcessId(list, nullptr) == thread) return list;
    }
    return nullptr;
}

// The screen point to click for the drop-down button, or for an item of the open list.
int comboPoint(Words words) {
    const auto found = target(words, true);
    if (!found) return kFailed;
    HWND combo = found->control;
    RECT area{};
    POINT at{};
    if (words[2] == "button") {
        GetWindowRect(combo, &area);  // a drop-down combo box is as high as its field
        at = {area.right - 2 - GetSystemMetrics(SM_CXVSCROLL) / 2, (area.top + area.bottom) / 2};
    } else {
        const auto index = parseNumber(words[2]);
        if (!index || *index < 0) return badArgument(words[2]);
        HWND list = openListOf(combo);
        if (list == nullptr) return fail("list not open in", words[1]);
        const auto height = sendWithin(list, LB_GETITEMHEIGHT, 0, 0);
        const auto top = sendWithin(list, LB_GETTOPINDEX, 0, 0);
        if (!height || !top || *height <= 0 || *index < *top) return fail("cannot place item", words[2]);
        GetClientRect(list, &area);
        at = {area.right / 2, static_cast<LONG>((*index - *top) * *height + *height / 2)};
        if (at.y >= area.bottom) return fail("item not in view", words[2]);
        ClientToScreen(list, &at);
    }
    std::printf("%ld %ld\n", at.x, at.y);
    return kDone;
}

int comboCount(Words words) {
    const auto found = target(words, true);
    return found ? printAnswer(sendWithin(found->control, CB_GETCOUNT, 0, 0)) : kFailed;
}

int comboItems(Words words) {
    const auto found = target(words, true);
    if (!found) return kFailed;
    const auto count = sendWithin(found->control, CB_GETCOUNT, 0, 0);
    if (!count || *count < 0) return fail("no answer from control", words[1]);
    for (LRESULT i = 0; i < *count; ++i) {
        const auto length = sendWithin(found->control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (!length || *length < 0) return fail("cannot read item of", words[1]);
        std::string item(static_cast<std::size_t>(*length) + 1, '\0');
        const auto copied = sendWithin(found->control, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                       reinterpret_cast<LPARAM>(item.data()));
        if (!copied || *copied < 0) return fail("cannot read item of", words[1]);
        item.resize(static_cast<std::size_t>(*copied));
        std::printf("%s\n", item.c_str());
    }
    return kDone;
}

// "<title> <message> <wparam> <lparam>": the window and the message for send and post.
struct MessageToWindow {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// kDone with out filled, or the command's failure code.
int messageToWindow(Words words, MessageToWindow& out) {
    const auto found = target(words, false);
    if (!found) return kFailed;
    const auto message = parseMessage(words[1]);
    const auto wParam = parseNumber(words[2]);
    const auto lParam = parseNumber(words[3]);
    if (!message) return badArgument(words[1]);
    if (!wParam) return badArgument(words[2]);
    if (!lParam) return badArgument(words[3]);
    out = {found->window, *message, static_cast<WPARAM>(*wParam), static_cast<LPARAM>(*lParam)};
    return kDone;
}

int send(Words words) {
    MessageToWindow m{};
    if (const int status = messageToWindow(words, m); status != kDone) return status;
    return printAnswer(sendWithin(m.window, m.message, m.wParam, m.lParam));
}

// Posted, not sent: a real mouse message arrives through the queue.
int postMouse(Words words) {
    const auto found = target(words, true);
    if (!found) return kFailed;
    const auto message = parseMessage(words[2]);
    const auto keys = parseKeyFlags(words[3]);
    if (!message) return badArgument(words[2]);
    if (!keys) return badArgument(words[3]);
    RECT client{};
    GetClientRect(found->control, &client);
    const LPARAM centre = MAKELPARAM((client.right - client.left) / 2, (client.bottom - client.top) / 2);
    return PostMessageA(found->control, *message, *keys, centre) ? kDone : fail("cannot post to", words[1]);
}

// The text with CR, LF, backslash and non-printing bytes spelt as C escapes, so that line breaks and
// trailing blanks survive the console and the shell.
int textEscaped(Words words) {
    const auto found = target(words, true);
    if (!found) return kFailed;
    const auto content = textOf(found->control);
    if (!content) return fail("no answer from control", words[1]);
    std::string escaped;
    for (const char c : *content) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            escaped += "\\r";
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\\') {
            escaped += "\\\\";
        } else if (byte < 0x20 || byte >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            escaped += hex;
        } else {
            escaped += c;
        }
    }
    std::printf("%s\n", escaped.c_str());
    return kDone;
}

int countWindows(Words words) {
    std::printf("%llu\n", static_cast<unsigned long long>(countTopLevel(words[0])));
    return kDone;
}

// Posted, as the system delivers notifications such as the tray icon's; returns at once.
int post(Words words) {
    MessageToWindow m{};
    if (const int status = messageToWindow(words, m); status != kDone) return status;
    return PostMessageA(m.window, m.message, m.wParam, m.lParam) ? kDone : fail("cannot post to", words[0]);
}

HWND openMenu() {
    HWND menu = waitForOpenMenu(0);
    if (menu == nullptr) fail("no pop-up menu", "is open");
    return menu;
}

int waitMenu(Words words) {
    const auto seconds = parseNumber(words[0]);
    if (!seconds || *seconds < 0) return badArgument(words[0]);
    HWND menu = waitForOpenMenu(static_cast<double>(*seconds));
    if (menu == nullptr) return fail("no pop-up menu", "opened");
    printHandle(menu);
    return kDone;
}

int menuRect(Words) {
    HWND menu = openMenu();
    if (menu == nullptr) return kFailed;
    RECT outer{};
    GetWindowRect(menu, &outer);
    std::printf("%ld %ld %ld %ld\n", outer.left, outer.top, outer.right, outer.bottom);
    return kDone;
}

int listMenu(Words) {
    HWND menu = openMenu();
    if (menu == nullptr) return kFailed;
    const auto items = menuItems(menu);
    if (!items) return fail("cannot read the items of", "the open menu");
    for (const auto& item : *items) std::printf("%s\n", item.c_str());
    return kDone;
}

int chooseMenu(Words words) {
    HWND menu = openMenu();
    if (menu == nullptr) return kFailed;
    const auto items = menuItems(menu);
    if (!items) return fail("cannot read the items of", "the open menu");
    for (std::size_t position = 0; position < items->size(); ++position) {
        if ((*items)[position] == words[0] && chooseMenuItem(menu, *items, position)) return kDone;
    }
    return fail("no menu item", words[0]);
}

int close(Words words) {
    const auto found = target(words, false);
    if (!found) return kFailed;
    return PostMessageA(found->window, WM_CLOSE, 0, 0) ? kDone : fail("cannot post to", words[0]);
}

// Returns once the window and its controls have painted what was waiting to be painted (the paint
// messages are sent, so they are handled before this returns), so that a screenshot taken next does
// not depend on when the program got round to painting.
int paint(Words words) {
    const auto found = target(words, false);
    if (!found) return kFailed;
    return RedrawWindow(found->window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN)
               ? kDone
               : fail("cannot paint", words[0]);
}

int instance(Words words) {
    const auto found = target(words, false);
    if (!found) return kFailed;
    printHandle(reinterpret_cast<const void*>(GetWindowLongPtrA(found->window, GWLP_HINSTANCE)));
    return kDone;
}

// With a title, the window of that class with exactly that title, which may be empty: the program's
// untitled helper window.
HWND windowOfClass(Words words) {
    return FindWindowA(words[0].c_str(), words.size() > 1 ? words[1].c_str() : nullptr);
}

int findClass(Words words) {
    HWND window = windowOfClass(words);
    if (window == nullptr) return fail("no window of class", words[0]);
    printHandle(window);
    return kDone;
}

// Sent, not posted: the window has handled the close when this returns.
int closeClass(Words words) {
    HWND window = windowOfClass(words);
    if (window == nullptr) return fail("no window of class", words[0]);
    return sendWithin(window, WM_CLOSE, 0, 0) ? kDone : fail("no answer from", words[0]);
}

int focus(Words words) {
    const auto found = target(words, false);
    if (!found) return kFailed;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(found->window, nullptr), &info)) {
        return fail("no thread information for", words[0]);
    }
    std::printf("%d\n", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
    return kDone;
}

// For failure reports: every direct child with its id, class, visibility and text.
int children(Words words) {
    const auto found = target(words, false);
    if (!found) return kFailed;
    for (HWND child = GetWindow(found->window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::printf("%d %s %s \"%s\"\n", GetDlgCtrlID(child), classOf(child).c_str(),
                    IsWindowVisible(child) ? "visible" : "hidden", textOf(child).value_or("?").c_str());
    }
    return kDone;
}

BOOL CALLBACK printTopLevel(HWND window, LPARAM) {
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    std::printf("%p %s %s \"%s\"\n", static_cast<void*>(window), classOf(window).c_str(),
                IsWindowVisible(window) ? "visible" : "hidden", title);
    return TRUE;
}

int list(Words) {
    EnumWindows(printTopLevel, 0);
    return kDone;
}

// Holds a mutex of that name that no other program may open, as one made by an elevated copy or another
// user looks to a normal one: prints "held" once it is made, ends after the seconds given.
int holdMutex(Words words) {
    const auto seconds = parseNumber(words[1]);
    if (!seconds || *seconds < 0) return badArgument(words[1]);
    SECURITY_DESCRIPTOR descriptor{};
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ACL empty{};  // a list without entries grants nothing to anyone
    InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, &empty, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    const kestrove::win32::Owned<HANDLE, CloseHandle> mutex(
        CreateMutexA(&attributes, FALSE, words[0].c_str()));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return fail("cannot make", words[0]);
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(*seconds) * 1000);
    return kDone;
}

constexpr Command kCommands[] = {
    {"wait-window", "<title> <seconds>", 2, 2, waitWindow},
    {"wait-gone", "<title> <seconds>", 2, 2, waitGone},
    {"visible", "<title> [<control-id>]", 1, 2, visible},
    {"client-size", "<title>", 1, 1, clientSize},
    {"rect", "<title>", 1, 1, windowRect},
    {"client-rect", "<title>", 1, 1, clientRect},
    {"control-rect", "<title> <control-id>", 2, 2, controlRect},
    {"screen-size", "", 0, 0, screenSize},
    {"syscolor", "<index>", 1, 1, systemColour},
    {"text", "<title> <control-id>", 2, 2, text},
    {"text-escaped", "<title> <control-id>", 2, 2, textEscaped},
    {"tooltip", "<title> <control-id>", 2, 2, toolTip},
    {"balloon", "<seconds>", 1, 1, balloon},
    {"count", "<title>", 1, 1, countWindows},
    {"check-state", "<title> <control-id>", 2, 2, checkState},
    {"click", "<title> <control-id>", 2, 2, click},
    {"combo-add", "<title> <control-id> <text>", 3, 3, comboAdd},
    {"combo-pick", "<title> <control-id> <text>", 3, 3, comboPick},
    {"combo-key", "<title> <control-id> up|down", 3, 3, comboKey},
    {"combo-point", "<title> <control-id> button|<item>", 3, 3, comboPoint},
    {"combo-count", "<title> <control-id>", 2, 2, comboCount},
    {"combo-items", "<title> <control-id>", 2, 2, comboItems},
    {"send", "<title> <message> <wparam> <lparam>", 4, 4, send},
    {"post", "<title> <message> <wparam> <lparam>", 4, 4, post},
    {"post-mouse", "<title> <control-id> <message> <key-flags>", 4, 4, postMouse},
    {"close", "<title>", 1, 1, close},
    {"resume", "<title> automatic|user", 2, 2, resume},
    {"paint", "<title>", 1, 1, paint},
    {"instance", "<title>", 1, 1, instance},
    {"find-class", "<class> [<title>]", 1, 2, findClass},
    {"close-class", "<class> <title>", 2, 2, closeClass},
    {"focus", "<title>", 1, 1, focus},
    {"children", "<title>", 1, 1, children},
    {"list", "", 0, 0, list},
    {"hold-mutex", "<name> <seconds>", 2, 2, holdMutex},
    {"wait-menu", "<seconds>", 1, 1, waitMenu},
    {"menu-rect", "", 0, 0, menuRect},
    {"menu-items", "", 0, 0, listMenu},
    {"menu-choose", "<item text>", 1, 1, chooseMenu},
};

}  // namespace

std::span<const Command> commands() { return kCommands; }

}  // namespace e2e
