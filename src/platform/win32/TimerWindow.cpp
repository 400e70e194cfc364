#include "platform/win32/TimerWindow.h"

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
    sinks_[id] = &sink;
    return id;
}

void TimerWindow::stop(forms::TimerId timer) {
    if (sinks_.erase(timer) != 0) KillTimer(hwnd(), timer);
}

LRESULT TimerWindow::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        const auto found = sinks_.find(static_cast<forms::TimerId>(wParam));
        if (found != sinks_.end()) found->second->tick();  // may stop timers or unload forms
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace kestrove::win32
