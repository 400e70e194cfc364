#pragma once
// Plain values that cross the boundary between the program and its platform. No Win32 types here:
// handles are carried as opaque integers of pointer width, so the same logic builds on Linux.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

namespace kestrove {

using WindowHandle = std::uintptr_t;  // a top-level or child window (HWND value); 0 = none
using ProcAddress = std::uintptr_t;   // a window procedure (WNDPROC value)
using IconHandle = std::uintptr_t;    // HICON value
using ModuleHandle = std::uintptr_t;  // HINSTANCE value
using RegistryKey = std::uintptr_t;   // HKEY value
using MessageResult = std::intptr_t;  // LRESULT

// Positions and sizes are twips (1/1440 inch), kept fractional until a backend turns them into pixels.
using Twips = float;

struct TwipRect {
    Twips left = 0, top = 0, width = 0, height = 0;
};

struct TwipSize {
    Twips width = 0, height = 0;
};

struct ScreenRect {  // RECT: screen pixels
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// A run-time error of the user-interface layer or a platform call. The main window's load handler
// traps these step by step; everywhere else they travel to the caller. The message is a string
// literal: the error owns no memory, and it keeps the standard exception classes out of the product.
class RuntimeError : public std::exception {
  public:
    template <std::size_t N>
    explicit RuntimeError(const char (&what)[N]) noexcept : what_(what) {}
    const char* what() const noexcept override { return what_; }

  private:
    const char* what_;
};

// The error a check box raises for a value outside 0..2.
class InvalidPropertyValue : public RuntimeError {
  public:
    InvalidPropertyValue() : RuntimeError("Invalid property value") {}
};

}  // namespace kestrove
