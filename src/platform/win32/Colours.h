#pragma once
// Design colours as the system paints them: a named system colour follows the user's scheme.

#include <windows.h>

#include "platform/forms/Style.h"
#include "platform/win32/Handles.h"

namespace kestrove::win32 {

inline int systemColourIndex(forms::SystemColour colour) {
    return colour == forms::SystemColour::ButtonFace ? COLOR_BTNFACE : COLOR_WINDOWTEXT;
}

inline COLORREF colorRef(const forms::Colour& colour) {
    if (colour.isSystem) return GetSysColor(systemColourIndex(colour.system));
    return RGB(colour.r, colour.g, colour.b);
}

// A brush of one colour: the system's own brush for a system colour, else one of our own.
class ColourBrush {
  public:
    explicit ColourBrush(const forms::Colour& colour)
        : owned_(colour.isSystem ? nullptr : CreateSolidBrush(colorRef(colour))),
          brush_(colour.isSystem ? GetSysColorBrush(systemColourIndex(colour.system)) : owned_.get()) {}
    HBRUSH get() const { return brush_; }

  private:
    OwnedBrush owned_;
    HBRUSH brush_;  // not owned when it is the system's
};

}  // namespace kestrove::win32
