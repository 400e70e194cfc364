// The floor the program's idle cost is measured against: the least a 1 ms watch for a window can do,
// one window lookup per timer tick, and nothing else. With the argument "hidden" it also owns one hidden
// window, as any program that lives in the tray must: under Wine a thread's first top-level window, shown
// or not, gives it a display connection that every wait for a message then polls.
#include <windows.h>

#include <cstring>

#include "platform/win32/TickCount.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    HWND window = nullptr;
    if (std::strcmp(commandLine, "hidden") == 0) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = "IdleFloor";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(WS_EX_TOOLWINDOW, "IdleFloor", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 instance, nullptr);
        if (window == nullptr) return 1;
    }
    if (SetTimer(nullptr, 1, 1, nullptr) == 0) return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == WM_TIMER) {
            kestrove::win32::countTick();
            FindWindowA("#32770", "Connecting to Idle Line");
        }
        DispatchMessageA(&message);
    }
    return 0;
}
