#pragma once
// The fonts one window's controls use, each created once and shared by every control that asks for it.

#include <windows.h>

#include <utility>
#include <vector>

#include "platform/forms/Style.h"
#include "platform/win32/Handles.h"

namespace kestrove::win32 {

class FontSet {
  public:
    explicit FontSet(int dpiY) : dpiY_(dpiY) {}
    // Null (the system font) when the font cannot be made.
    HFONT get(const forms::Font& font);

  private:
    int dpiY_;
    std::vector<std::pair<forms::Font, OwnedFont>> fonts_;
};

}  // namespace kestrove::win32
