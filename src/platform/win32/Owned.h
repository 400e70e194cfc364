#pragma once
// One move-only owner for every kind of system handle. The traits name the handle type, the value
// that means "nothing owned" and how to give a handle back:
//   struct FontTraits { using Handle = HFONT; static HFONT none(); static void close(HFONT); };
// Kept free of <windows.h> so the ownership rules can be tested on any host.

#include <utility>

namespace kestrove::win32 {

template <class Traits>
class Owned {
  public:
    using Handle = typename Traits::Handle;

    Owned() noexcept = default;
    explicit Owned(Handle handle) noexcept : handle_(handle) {}
    Owned(Owned&& other) noexcept : handle_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::none(); }

    // Gives up ownership without closing, e.g. once the system has taken the handle over.
    Handle release() noexcept { return std::exchange(handle_, Traits::none()); }

    void reset(Handle handle = Traits::none()) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (old != Traits::none() && old != handle) Traits::close(old);
    }

  private:
    Handle handle_ = Traits::none();
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
