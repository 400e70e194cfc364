// The floor the program's start-up is measured against: a window like the main window in what the
// system has to do to show it (the same manifest, so themed controls; the same font; a check box, a
// combo box and a button; a 1 ms timer), and nothing of the program's own.
#include <windows.h>

namespace {

constexpr int kFontPoints = 8;

LRESULT CALLBACK floorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) return 0;
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND addControl(HWND parent, const char* kind, const char* text, DWORD style, int x, int y, int width,
                int height, int id, HFONT font) {
    HWND control = CreateWindowExA(0, kind, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, width,
                                   height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = floorProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "StartupFloor";
    if (RegisterClassA(&windowClass) == 0) return 1;

    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(kFontPoints, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    HFONT font =
        CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Verdana");

    HWND window = CreateWindowExA(0, "StartupFloor", "Kestrove floor",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 400, 200, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    addControl(window, "BUTTON", "Activate?", BS_AUTOCHECKBOX, 10, 10, 100, 20, 1000, font);
    addControl(window, "COMBOBOX", "", CBS_DROPDOWN | WS_VSCROLL, 10, 40, 250, 200, 1002, font);
    addControl(window, "BUTTON", "&Hide", BS_PUSHBUTTON, 280, 40, 60, 24, 1003, font);
    if (SetTimer(window, 1, 1, nullptr) == 0) return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    DeleteObject(font);
    return 0;
}
