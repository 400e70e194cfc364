// Drives the Win32 forms backend the way the forms core does and checks the real windows it makes:
// geometry at the real DPI, control ids and text, the events users cause, timers, the message loop and
// pop-up menus. Prints one line per failed check and a final "N passed, M failed"; exit code 1 on failure.

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/Win32Backend.h"

namespace {

using namespace kestrove;
using namespace kestrove::forms;
using kestrove::win32::Win32Backend;

struct Results {
    int passed = 0, failed = 0;
    const char* scenario = "";
    void check(bool ok, const char* what, int line) {
        if (ok) {
            ++passed;
        } else {
            ++failed;
            std::printf("FAIL [%s] line %d: %s\n", scenario, line, what);
        }
    }
};
// Each scenario takes its Results as `results`.
#define CHECK(cond) results.check((cond), #cond, __LINE__)

// What the core would receive, one line per event.
class Recorder : public FormEvents {
  public:
    std::vector<std::string> log;
    std::vector<MouseArgs> args;
    std::function<void(FormEvent)> onForm;
    std::function<void(std::size_t, ControlEvent)> onControl;

    void formEvent(FormEvent event, const MouseArgs& a) override {
        static const char* names[] = {"Click", "MouseMove", "CloseRequested"};
        record(std::string("form ") + names[static_cast<int>(event)], a);
        if (onForm) onForm(event);
    }
    void controlEvent(std::size_t index, ControlEvent event, const MouseArgs& a) override {
        static const char* names[] = {"Click", "MouseDown", "MouseUp", "MouseMove", "TextChanged"};
        record(std::to_string(index) + " " + names[static_cast<int>(event)], a);
        if (onControl) onControl(index, event);
    }
    bool saw(const std::string& line) const {
        for (const auto& l : log) {
            if (l == line) return true;
        }
        return false;
    }

  private:
    void record(std::string line, const MouseArgs& a) {
        if (a.button != 0) line += " b" + std::to_string(a.button);
        if (a.shift != 0) line += " s" + std::to_string(a.shift);
        log.push_back(line);
        args.push_back(a);
    }
};

class CountingSink : public TimerSink {
  public:
    int ticks = 0;
    std::function<void()> onTick;
    void tick() override {
        ++ticks;
        if (onTick) onTick();
    }
};

int dpiX() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}
int px(Twips twips) { return static_cast<int>(std::lround(twips * dpiX() / 1440.0)); }
Twips tw(int pixels) { return static_cast<Twips>(pixels * 1440.0 / dpiX()); }

FormDesc formDesign(const char* caption, TwipSize client) {
    FormDesc d;
    d.name = caption;
    d.caption = caption;
    d.client = client;
    d.centred = false;
    return d;
}

ControlDesc controlDesign(ControlKind kind, TwipRect rect, std::string text = {}, int tabIndex = -1) {
    ControlDesc d;
    d.kind = kind;
    d.rect = rect;
    d.text = std::move(text);
    d.tabIndex = tabIndex;
    return d;
}

HWND hwndOf(Win32Backend& b, NativeId form) { return reinterpret_cast<HWND>(b.windowHandle(form)); }

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string windowText(HWND window) {
    char text[256] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// Lets the backend handle what is queued, a few rounds, as the program's idle time would.
void pump(Win32Backend& b, int rounds = 5) {
    for (int i = 0; i < rounds; ++i) {
        b.waitForMessages(20);
        b.doEvents();
    }
}

void windowGeometry(Win32Backend& b, Results& results) {
    results.scenario = "window geometry";
    Recorder events;
    FormDesc fixed = formDesign("Geometry", {5655, 1545});
    fixed.showInTaskbar = false;
    const NativeId f = b.createForm(fixed, events);
    HWND h = hwndOf(b, f);
    RECT client{};
    GetClientRect(h, &client);
    CHECK(client.right == px(5655) && client.bottom == px(1545));  // exactly the design, via the frame
    const LONG style = GetWindowLongA(h, GWL_STYLE), exStyle = GetWindowLongA(h, GWL_EXSTYLE);
    CHECK((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU));
    CHECK(!(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)));  // close button only, no resizing
    CHECK(exStyle & WS_EX_TOOLWINDOW);                                    // no taskbar button
    CHECK(SendMessageA(h, WM_GETICON, ICON_BIG, 0) == static_cast<LRESULT>(b.iconHandle(f)) &&
          b.iconHandle(f) != 0);

    const TwipRect placed{tw(100), tw(50), tw(400), tw(200)};
    b.moveForm(f, placed);
    RECT outer{};
    GetWindowRect(h, &outer);
    CHECK(outer.left == 100 && outer.top == 50 && outer.right == 500 && outer.bottom == 250);
    const TwipRect back = b.formRect(f);
    CHECK(back.left == placed.left && back.top == placed.top && back.width == placed.width &&
          back.height == placed.height);
    CHECK(!b.formVisible(f));
    b.destroyForm(f);
    CHECK(!IsWindow(h));

    FormDesc borderless = formDesign("Borderless", {3000, 1500});
    borderless.border = BorderStyle::None;
    borderless.centred = true;
    const NativeId g = b.createForm(borderless, events);
    HWND gh = hwndOf(b, g);
    b.moveForm(g, {tw(40), tw(30), 3000, 1500});
    b.showForm(g);
    RECT gr{};
    GetWindowRect(gh, &gr);
    CHECK(gr.right - gr.left == px(3000) && gr.bottom - gr.top == px(1500));  // no frame at all
    CHECK(gr.left == 40 && gr.top == 30);  // the first show leaves the place alone: the core centres
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    CHECK(b.formVisible(g));
    b.hideForm(g);
    CHECK(!b.formVisible(g) && !IsWindowVisible(gh));
    b.destroyForm(g);

    const TwipSize screen = b.screenSize();
    CHECK(screen.width == tw(screenW) && screen.height == tw(GetSystemMetrics(SM_CYSCREEN)));
}

// The core holds the combo box's text and reads it again only when told: every change the code did not
// make itself is reported, also those the control tells nobody about (another program setting the text,
// selecting an item or emptying the list); the code's own sets are not.
void comboChangesReported(Win32Backend& b, Results& results, Recorder& events, NativeId combo, HWND list) {
    b.addItem(combo, "Dial 3");
    events.log.clear();
    b.setText(combo, "from code");
    CHECK(events.log.empty());
    const std::vector<std::string> reported{"1 TextChanged"};
    SetWindowTextA(list, "from outside");
    CHECK(events.log == reported);
    CHECK(b.text(combo) == "from outside");
    events.log.clear();
    SendMessageA(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Dial 3"));
    CHECK(events.log == reported);
    CHECK(b.text(combo) == "Dial 3");
    events.log.clear();
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    CHECK(events.log == reported);
    CHECK(b.text(combo).empty());
}

void controlsAndText(Win32Backend& b, Results& results) {
    results.scenario = "controls and text";
    Recorder events;
    const NativeId f = b.createForm(formDesign("Controls", {6000, 3000}), events);
    HWND h = hwndOf(b, f);
    const NativeId check =
        b.createControl(f, 0, controlDesign(ControlKind::CheckBox, {120, 120, 1200, 255}, "Activate?"));
    const NativeId combo =
        b.createControl(f, 1, controlDesign(ControlKind::ComboBox, {1500, 120, 2000, 315}, "Combo1"));
    const NativeId button =
        b.createControl(f, 2, controlDesign(ControlKind::Button, {3600, 120, 615, 375}, "&Hide"));
    const NativeId label =
        b.createControl(f, 3, controlDesign(ControlKind::Label, {120, 600, 3000, 255}, " 0 times."));

    // Outside programs find every control by its id and read it.
    const char* classes[] = {"Button", "ComboBox", "Button", "Static"};
    for (int i = 0; i < 4; ++i) CHECK(className(GetDlgItem(h, 1000 + i)) == classes[i]);
    CHECK(windowText(GetDlgItem(h, 1000)) == "Activate?");
    CHECK(windowText(GetDlgItem(h, 1001)) == "Combo1");
    CHECK(windowText(GetDlgItem(h, 1003)) == " 0 times.");

    // UTF-8 inside, the ANSI code page outside.
    const std::string accented = "Caf\xC3\xA9 \xE2\x82\xAC";  // "Café €"
    b.setText(label, accented);
    if (GetACP() == 1252) CHECK(windowText(GetDlgItem(h, 1003)) == "Caf\xE9 \x80");
    CHECK(b.text(label) == accented);
    b.setText(combo, accented);
    CHECK(b.text(combo) == accented);

    // The check box shows what the core says and reports clicks without changing by itself.
    HWND box = GetDlgItem(h, 1000);
    b.setCheck(check, 2);
    CHECK(SendMessageA(box, BM_GETCHECK, 0, 0) == BST_INDETERMINATE);
    SendMessageA(box, BM_CLICK, 0, 0);
    CHECK(events.log == std::vector<std::string>{"0 Click"});
    CHECK(SendMessageA(box, BM_GETCHECK, 0, 0) == BST_INDETERMINATE);
    b.setCheck(check, 1);
    CHECK(SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED);

    events.log.clear();
    SendMessageA(GetDlgItem(h, 1002), BM_CLICK, 0, 0);
    CHECK(events.log == std::vector<std::string>{"2 Click"});
    (void)button;

    // A pick from the list: one Click, and the handler already sees the picked text.
    HWND list = GetDlgItem(h, 1001);
    b.addItem(combo, "Dial 1");
    b.addItem(combo, "Dial 2");
    CHECK(SendMessageA(list, CB_GETCOUNT, 0, 0) == 2);
    std::string seenByHandler;
    events.onControl = [&](std::size_t index, ControlEvent) {
        if (index == 1) seenByHandler = b.text(combo);
    };
    SendMessageA(list, CB_SETCURSEL, 1, 0);
    SetWindowTextA(list, "stale");  // a mouse pick notifies before the edit field follows
    events.log.clear();
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(1001, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(1001, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
    CHECK(events.log == (std::vector<std::string>{"1 Click", "1 TextChanged"}));
    CHECK(seenByHandler == "Dial 2");
    // Typing is not a pick, but its text is reported.
    events.onControl = nullptr;
    HWND edit = FindWindowExA(list, nullptr, "Edit", nullptr);
    SetWindowTextA(edit, "typed");
    events.log.clear();
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(1001, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(list));
    CHECK(events.log == std::vector<std::string>{"1 TextChanged"});
    CHECK(b.text(combo) == "typed");
    comboChangesReported(b, results, events, combo, list);

    b.setControlVisible(label, false);
    CHECK(!IsWindowVisible(GetDlgItem(h, 1003)));
    b.moveControl(check, {tw(10), tw(20), tw(90), tw(17)});
    RECT r{};
    GetWindowRect(box, &r);
    MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
    CHECK(r.left == 10 && r.top == 20 && r.right == 100 && r.bottom == 37);
    b.destroyForm(f);
}

void mouseEvents(Win32Backend& b, Results& results) {
    results.scenario = "mouse events";
    Recorder events;
    const NativeId f = b.createForm(formDesign("Mouse", {6000, 3000}), events);
    HWND h = hwndOf(b, f);
    b.createControl(f, 0, controlDesign(ControlKind::Label, {120, 120, 2000, 255}, "label"));
    ControlDesc spot = controlDesign(ControlKind::Image, {2400, 120, 110, 110});
    spot.transparent = true;
    spot.cursor = Cursor::Hand;
    b.createControl(f, 1, spot);
    HWND label = GetDlgItem(h, 1000), image = GetDlgItem(h, 1001);

    // Right button released with Shift over the hot spot: exactly that, and no Click.
    SendMessageA(image, WM_RBUTTONUP, MK_SHIFT, MAKELPARAM(3, 4));
    CHECK(events.log == std::vector<std::string>{"1 MouseUp b2 s1"});
    CHECK(events.args.back().x == tw(3) && events.args.back().y == tw(4));
    SendMessageA(image, WM_MBUTTONDOWN, MK_MBUTTON | MK_CONTROL, 0);
    CHECK(events.log.back() == "1 MouseDown b4 s2");
    SendMessageA(image, WM_MBUTTONUP, MK_CONTROL, 0);

    // A left click on a label: down, up, then Click; movement over it is its own.
    events.log.clear();
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageA(label, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(6, 6));
    CHECK((events.log ==
           std::vector<std::string>{"0 MouseDown b1", "0 MouseUp b1", "0 Click", "0 MouseMove b2"}));
    // Released outside the label: no Click.
    events.log.clear();
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(5000, 5));
    CHECK(events.log == std::vector<std::string>{"0 MouseUp b1"});

    // The form's own surface.
    events.log.clear();
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(300, 100));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(300, 100));
    CHECK((events.log == std::vector<std::string>{"form MouseMove", "form Click"}));
    CHECK(events.args.back().x == tw(300));

    // The hand over a control that asks for it.
    SetCursor(nullptr);
    CHECK(SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(image),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) == TRUE);
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(200));
    CHECK(hand != nullptr && GetCursor() == hand);
    SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    CHECK(GetCursor() != hand);

    // The title bar's close button only asks.
    events.log.clear();
    SendMessageA(h, WM_CLOSE, 0, 0);
    CHECK(events.log == std::vector<std::string>{"form CloseRequested"});
    CHECK(IsWindow(h));
    b.destroyForm(f);
}

void unloadInsideHandlers(Win32Backend& b, Results& results) {
    results.scenario = "unload inside handlers";
    Recorder events;
    NativeId f = b.createForm(formDesign("Unload", {3000, 1500}), events);
    HWND h = hwndOf(b, f);
    b.createControl(f, 0, controlDesign(ControlKind::Label, {0, 0, 1500, 300}, "close me"));
    HWND label = GetDlgItem(h, 1000);
    // The handler of the release unloads the window: no Click follows, nothing crashes.
    events.onControl = [&](std::size_t, ControlEvent event) {
        if (event == ControlEvent::MouseUp) b.destroyForm(f);
    };
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    CHECK(events.log == std::vector<std::string>{"0 MouseUp b1"});
    CHECK(!IsWindow(h) && !IsWindow(label));

    // Closing by the title bar, unloaded by the handler.
    events.log.clear();
    events.onControl = nullptr;
    f = b.createForm(formDesign("Unload", {3000, 1500}), events);
    h = hwndOf(b, f);
    b.createControl(f, 0, controlDesign(ControlKind::Button, {0, 0, 1500, 375}, "&OK", 0));
    HWND button = GetDlgItem(h, 1000);
    events.onForm = [&](FormEvent) { b.destroyForm(f); };
    SendMessageA(h, WM_CLOSE, 0, 0);
    CHECK(button != nullptr && !IsWindow(h) && !IsWindow(button));
}

void tabOrderAndFocus(Win32Backend& b, Results& results) {
    results.scenario = "tab order and focus";
    Recorder events;
    const NativeId f = b.createForm(formDesign("Tabs", {6000, 3000}), events);
    HWND h = hwndOf(b, f);
    // Created in the order 2, -, 0, 3, 1: Tab must still go 0, 1, 2, 3 and round again.
    const int tabs[] = {2, -1, 0, 3, 1};
    for (int i = 0; i < 5; ++i) {
        const ControlKind kind = i == 1   ? ControlKind::Label
                                 : i == 4 ? ControlKind::ComboBox
                                          : ControlKind::Button;
        b.createControl(f, i, controlDesign(kind, {120.0f + 1200 * i, 120, 1000, 375}, "c", tabs[i]));
    }
    HWND byTab[4] = {GetDlgItem(h, 1002), GetDlgItem(h, 1004), GetDlgItem(h, 1000), GetDlgItem(h, 1003)};
    CHECK((GetWindowLongA(GetDlgItem(h, 1001), GWL_STYLE) & WS_TABSTOP) == 0);
    b.showForm(f);
    CHECK(GetFocus() == byTab[0]);  // the lowest tab index takes the focus on the first show
    for (int i = 0; i < 4; ++i) CHECK(GetNextDlgTabItem(h, byTab[i], FALSE) == byTab[(i + 1) % 4]);
    b.destroyForm(f);
}

COLORREF pixelAt(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

void paintingAndColours(Win32Backend& b, Results& results) {
    results.scenario = "painting and colours";
    Recorder events;
    FormDesc design = formDesign("Paint", {4500, 3000});
    design.back = Colour::Rgb(0, 128, 0);
    const NativeId f = b.createForm(design, events);
    HWND h = hwndOf(b, f);
    ControlDesc grey = controlDesign(ControlKind::Label, {tw(200), tw(10), tw(60), tw(20)}, "grey");
    grey.back = Colour::Rgb(224, 224, 224);
    grey.fore = Colour::Rgb(128, 128, 128);
    b.createControl(f, 0, grey);
    ControlDesc clear = controlDesign(ControlKind::Label, {tw(200), tw(40), tw(60), tw(20)}, "clear");
    clear.transparent = true;
    clear.fore = Colour::Rgb(255, 128, 0);
    b.createControl(f, 1, clear);
    b.setDecorations(f, {{Decoration::Kind::Rectangle, {tw(10), tw(10), tw(50), tw(40)}},
                         {Decoration::Kind::FilledCircle, {tw(100), tw(10), tw(20), tw(20)}},
                         {Decoration::Kind::Line, {tw(10), tw(100), tw(60), tw(100)}}});
    b.showForm(f);
    UpdateWindow(h);
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT), green = RGB(0, 128, 0);
    CHECK(pixelAt(h, 5, 5) == green);     // background
    CHECK(pixelAt(h, 10, 30) == ink);     // rectangle, left edge
    CHECK(pixelAt(h, 59, 30) == ink);     // rectangle, right edge (50 pixels wide)
    CHECK(pixelAt(h, 30, 30) == green);   // only an outline
    CHECK(pixelAt(h, 110, 20) == ink);    // the dot is filled
    CHECK(pixelAt(h, 30, 100) == ink);    // the line
    CHECK(pixelAt(h, 30, 102) == green);  // one pixel wide

    // Colours the controls ask their form for.
    HDC dc = CreateCompatibleDC(nullptr);
    const auto brush = SendMessageA(h, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(GetDlgItem(h, 1000)));
    CHECK(brush != 0 && GetBkColor(dc) == RGB(224, 224, 224) && GetTextColor(dc) == RGB(128, 128, 128));
    const auto none = SendMessageA(h, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(GetDlgItem(h, 1001)));
    CHECK(none == reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)) && GetBkMode(dc) == TRANSPARENT);
    CHECK(GetTextColor(dc) == RGB(255, 128, 0));
    DeleteDC(dc);
    b.destroyForm(f);
}

void pictures(Win32Backend& b, Results& results) {
    results.scenario = "pictures";
    const TwipSize icon = b.pictureSize(Picture::AppIcon);
    CHECK(icon.width == tw(32) && icon.height == tw(32));
    // The loader reports HIMETRIC at the screen's resolution: the natural size in pixels comes back.
    const TwipSize banner = b.pictureSize(Picture::Banner), logo = b.pictureSize(Picture::Logo);
    CHECK(px(banner.width) == 120 && px(banner.height) == 60);
    CHECK(px(logo.width) == 341 && px(logo.height) == 166);
    CHECK(b.pictureSize(Picture::None).width == 0);

    Recorder events;
    FormDesc design = formDesign("Pictures", {tw(200), tw(100)});
    design.back = Colour::Rgb(0, 0, 0);
    const NativeId f = b.createForm(design, events);
    HWND h = hwndOf(b, f);
    ControlDesc image = controlDesign(ControlKind::Image, {0, 0, banner.width, banner.height});
    image.picture = Picture::Banner;
    b.createControl(f, 0, image);
    b.showForm(f);
    UpdateWindow(h);
    UpdateWindow(GetDlgItem(h, 1000));
    int painted = 0;  // the banner is not a black picture
    for (int x = 5; x < 120; x += 10) painted += pixelAt(h, x, 30) != RGB(0, 0, 0);
    CHECK(painted > 0);
    b.destroyForm(f);
}

void timersAndQueue(Win32Backend& b, Results& results) {
    results.scenario = "timers and the queue";
    CountingSink sink;
    const TimerId first = b.startTimer(5, sink);
    for (int i = 0; i < 200 && sink.ticks < 3; ++i) pump(b, 1);
    CHECK(sink.ticks >= 3);
    b.stopTimer(first);
    const int stoppedAt = sink.ticks;
    pump(b, 5);
    CHECK(sink.ticks == stoppedAt);
    const TimerId second = b.startTimer(5, sink);
    CHECK(second != first);  // a stale tick of the old timer cannot reach the new one
    b.stopTimer(second);

    // A handler slower than its timer: one pass handles its tick once and returns.
    CountingSink slow;
    slow.onTick = [] { Sleep(30); };
    const TimerId busy = b.startTimer(1, slow);
    Sleep(20);
    slow.ticks = 0;
    b.doEvents();
    CHECK(slow.ticks <= 1);
    b.stopTimer(busy);

    // A quit seen by DoEvents stays for the loop that owns it.
    PostQuitMessage(7);
    b.doEvents();
    MSG message{};
    CHECK(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && message.wParam == 7);

    // The loop runs timers until quit() is called from one.
    CountingSink quitter;
    quitter.onTick = [&] {
        if (quitter.ticks == 2) b.quit();
    };
    const TimerId q = b.startTimer(5, quitter);
    b.runMessageLoop();
    b.stopTimer(q);
    CHECK(quitter.ticks == 2);

    const std::uint32_t before = b.tickCount();
    b.waitForMessages(30);
    CHECK(b.tickCount() - before < 60000u);  // wraps like GetTickCount, never runs backwards here
}

void popupMenus(Win32Backend& b, Results& results) {
    results.scenario = "pop-up menus";
    Recorder events;
    const NativeId f = b.createForm(formDesign("Menu", {3000, 1500}), events);
    HWND h = hwndOf(b, f);
    const std::vector<MenuEntry> entries = {
        {"Restore Window", 1, {}}, {"-", 0, {}}, {"More", 2, {{"Deep", 3, {}}}}, {"Exit", 4, {}}};
    // The menu's own loop reads the keys: down past the separator, into the submenu, pick.
    PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(h, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
    CHECK(b.popupMenu(f, entries) == 3);
    PostMessageA(h, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
    CHECK(b.popupMenu(f, entries) == 4);
    PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0);
    CHECK(b.popupMenu(f, entries) == 0);
    CHECK(events.log.empty());  // the choice is returned, not sent as a command
    b.destroyForm(f);
}

}  // namespace

int main() {
    Results results;
    try {
        Win32Backend backend(GetModuleHandleA(nullptr));
        windowGeometry(backend, results);
        controlsAndText(backend, results);
        mouseEvents(backend, results);
        unloadInsideHandlers(backend, results);
        tabOrderAndFocus(backend, results);
        paintingAndColours(backend, results);
        pictures(backend, results);
        timersAndQueue(backend, results);
        popupMenus(backend, results);
    } catch (const std::exception& e) {
        std::printf("FAIL [%s] unexpected error: %s\n", results.scenario, e.what());
        ++results.failed;
    }
    std::printf("%d passed, %d failed\n", results.passed, results.failed);
    return results.failed == 0 ? 0 : 1;
}
