#include "platform/win32/FontSet.h"

#include "platform/win32/AnsiText.h"
#include "platform/win32/Geometry.h"

namespace kestrove::win32 {

HFONT FontSet::get(const forms::Font& font) {
    for (const auto& [made, handle] : fonts_) {
        if (made == font) return handle.get();
    }
    const std::string face = toAnsi(font.face);
    OwnedFont created(CreateFontA(fontHeight(font.points, dpiY_), 0, 0, 0, font.weight, FALSE, FALSE, FALSE,
                                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    const HFONT handle = created.get();
    if (handle != nullptr) fonts_.emplace_back(font, std::move(created));
    return handle;
}

}  // namespace kestrove::win32
