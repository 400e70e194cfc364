// The floor the program's idle cost is measured against: the least a 1 ms watch for a window can do,
// one window lookup per timer tick, and nothing else. With the argument "window" the timer belongs to a
// hidden window and its ticks go through that window's procedure, as the program's timers do.
#include <windows.h>

#include <cstring>

#include "platform/win32/TickCount.h"

namespace {

void lookUp() {
    kestrove::win32::countTick();
    FindWindowA("#32770", "Connecting to Idle Line");
}

LRESULT CALLBACK tickProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        lookUp();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    HWND window = nullptr;
    if (std::strcmp(commandLine, "window") == 0) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = tickProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = "IdleFloorTicks";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(WS_EX_TOOLWINDOW, "IdleFloorTicks", "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, instance, nullptr);
    }
    if (SetTimer(window, 1, 1, nullptr) == 0) return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (window == nullptr && message.message == WM_TIMER) lookUp();
        DispatchMessageA(&message);
    }
    return 0;
}
