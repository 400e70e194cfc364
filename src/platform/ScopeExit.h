#pragma once
// Runs a callable when the scope ends, however it ends:
//   const ScopeExit done([&] { busy = false; });

#include <utility>

namespace kestrove {

template <class F>
class ScopeExit {
  public:
    explicit ScopeExit(F onExit) : onExit_(std::move(onExit)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { onExit_(); }

  private:
    F onExit_;
};

}  // namespace kestrove
