#pragma once
// The program's images: the application icon (window icon, tray icon, icon pictures), the pointing-hand
// cursor, and the banner and logo, which the system's picture loader decodes from the resources when
// they are first shown.

#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include <optional>

#include "platform/forms/Style.h"
#include "platform/win32/Geometry.h"
#include "platform/win32/Handles.h"
#include "platform/win32/PictureLoader.h"

namespace kestrove::win32 {

struct PixelSize {
    int width = 0, height = 0;
};

class PictureStore {
  public:
    PictureStore(HINSTANCE instance, Dpi dpi);

    HICON appIcon() const { return icon_.get(); }
    HICON smallAppIcon() const { return smallIcon_ ? smallIcon_.get() : icon_.get(); }
    HCURSOR handCursor() const { return hand_; }

    // Natural size; none for a picture that is missing or cannot be decoded.
    TwipSize size(forms::Picture picture);
    // Draws the picture at its natural size into the given area of dc.
    void paint(forms::Picture picture, HDC dc, const RECT& area);

  private:
    IPicture* decoded(forms::Picture picture);
    std::optional<PixelSize> designPixels(forms::Picture picture);

    PictureLoader loader_;  // before the pictures, which it outlives
    HINSTANCE instance_;
    Dpi dpi_;
    OwnedIcon icon_, smallIcon_;
    HCURSOR hand_;  // a resource cursor: shared, never destroyed
    ComPtr<IPicture> banner_, logo_;
    bool bannerLoaded_ = false, logoLoaded_ = false;
};

}  // namespace kestrove::win32
