#pragma once
// Timers on a hidden window of their own, so that they tick whatever forms exist.

#include <windows.h>

#include <utility>
#include <vector>

#include "platform/forms/Backend.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WindowClass.h"

namespace kestrove::win32 {

class TimerWindow final : private MessageTarget {
  public:
    explicit TimerWindow(const WindowClass& windowClass);
    TimerWindow(const TimerWindow&) = delete;
    TimerWindow& operator=(const TimerWindow&) = delete;
    ~TimerWindow();

    forms::TimerId start(unsigned intervalMs, forms::TimerSink& sink);
    void stop(forms::TimerId timer);
    // A tick of the timer with that id; a tick still queued for a stopped timer finds nobody.
    void tick(forms::TimerId timer);
    HWND hwnd() const { return window_.get(); }

  private:
    LRESULT onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // A few timers, started and stopped as often as a dial comes and goes: a vector keeps its room, so
    // re-arming one allocates nothing.
    std::vector<std::pair<forms::TimerId, forms::TimerSink*>> sinks_;
    forms::TimerId lastId_ = 0;
    OwnedWindow window_;
};

}  // namespace kestrove::win32
