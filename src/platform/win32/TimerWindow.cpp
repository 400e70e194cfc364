#include "platform/win32/TimerWindow.h"

#include <algorithm>

#include "platform/win32/TickCount.h"

namespace kestrove::win32 {

TimerWindow::TimerWindow(const WindowClass& windowClass)
    : window_(windowClass.create(*this, WS_EX_TOOLWINDOW, WS_POPUP, "", 0, 0)) {}

TimerWindow::~TimerWindow() {
    for (const auto& [id, sink] : sinks_) KillTimer(hwnd(), id);
}

forms::TimerId TimerWindow::start(unsigned intervalMs, forms::TimerSink& sink) {
    // A fresh id each time, so that a tick still queued for a stopped timer finds nobody.
    const forms::TimerId id = ++lastId_;
    if (SetTimer(hwnd(), id, intervalMs, nullptr) == 0) throw RuntimeError("cannot start a timer");
    sinks_.emplace_back(id, &sink);
    return id;
}

void TimerWindow::stop(forms::TimerId timer) {
    if (std::erase_if(sinks_, [&](const auto& entry) { return entry.first == timer; }) != 0)
        KillTimer(hwnd(), timer);
}

void TimerWindow::tick(forms::TimerId timer) {
    const auto found =
        std::find_if(sinks_.begin(), sinks_.end(), [&](const auto& entry) { return entry.first == timer; });
    if (found == sinks_.end()) return;
    countTick();
    found->second->tick();  // may stop timers or unload forms
}

LRESULT TimerWindow::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        tick(static_cast<forms::TimerId>(wParam));
        return 0;
    }
    // A close sent from outside (a task manager, an uninstaller) would destroy the window and stop every
    // timer of the program without a sign; the program's windows decide when it ends.
    if (message == WM_CLOSE) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace kestrove::win32
