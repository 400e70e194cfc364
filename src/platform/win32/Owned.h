#pragma once
// One move-only owner for every kind of system handle: the handle type, the call that gives it back and
// the value that means "nothing owned" (null, or -1 for the calls that fail with INVALID_HANDLE_VALUE):
//   using OwnedFont = Owned<HFONT, DeleteObject>;
// Kept free of <windows.h> so the ownership rules can be tested on any host.

#include <cstdint>
#include <utility>

namespace kestrove::win32 {

template <class H, auto Close, std::intptr_t None = 0>
class Owned {
  public:
    Owned() noexcept = default;
    explicit Owned(H handle) noexcept : handle_(handle) {}
    Owned(Owned&& other) noexcept : handle_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    H get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != none(); }

    // Gives up ownership without closing, e.g. once the system has taken the handle over.
    H release() noexcept { return std::exchange(handle_, none()); }

    void reset(H handle = none()) noexcept {
        const H old = std::exchange(handle_, handle);
        if (old != none() && old != handle) Close(old);
    }

  private:
    static H none() noexcept { return reinterpret_cast<H>(None); }

    H handle_ = none();
};

// A counted reference to a COM object: Release() once when the owner lets go.
template <class T>
class ComPtr {
  public:
    ComPtr() noexcept = default;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // For the out-parameter of a creating call; anything held before is released first.
    T** put() noexcept {
        reset();
        return &p_;
    }
    void reset() noexcept {
        if (T* old = std::exchange(p_, nullptr)) old->Release();
    }

  private:
    T* p_ = nullptr;
};

}  // namespace kestrove::win32
