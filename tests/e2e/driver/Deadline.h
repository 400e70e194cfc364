#pragma once
// A time limit on the tick counter; the driver never runs long enough for the counter to wrap twice.

#include <windows.h>

namespace e2e {

class Deadline {
  public:
    explicit Deadline(double seconds) : start_(GetTickCount()), limit_(static_cast<DWORD>(seconds * 1000)) {}
    bool passed() const { return GetTickCount() - start_ >= limit_; }
    unsigned leftMs() const {
        const DWORD spent = GetTickCount() - start_;
        return spent >= limit_ ? 0 : limit_ - spent;
    }

  private:
    DWORD start_;
    DWORD limit_;
};

}  // namespace e2e
