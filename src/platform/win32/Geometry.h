#pragma once
// Twips <-> pixels at the display's real resolution. Positions stay fractional twips everywhere above
// the backend; they are rounded to the nearest pixel only here, each value on its own.

#include <cmath>
#include <cstdint>

#include "platform/Types.h"

namespace kestrove::win32 {

constexpr int kTwipsPerInch = 1440;
constexpr int kHimetricPerInch = 2540;
constexpr int kDesignDpi = 96;  // the resolution at which the design's pixel sizes hold

struct Dpi {
    int x = 96, y = 96;
};

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

inline int twipsToPixels(Twips twips, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

inline Twips pixelsToTwips(int pixels, int dpi) {
    return static_cast<Twips>(static_cast<double>(pixels) * kTwipsPerInch / dpi);
}

inline PixelRect toPixels(const TwipRect& r, Dpi dpi) {
    return {twipsToPixels(r.left, dpi.x), twipsToPixels(r.top, dpi.y), twipsToPixels(r.width, dpi.x),
            twipsToPixels(r.height, dpi.y)};
}

inline TwipRect toTwips(const PixelRect& r, Dpi dpi) {
    return {pixelsToTwips(r.x, dpi.x), pixelsToTwips(r.y, dpi.y), pixelsToTwips(r.width, dpi.x),
            pixelsToTwips(r.height, dpi.y)};
}

// a * b / c rounded to the nearest integer, halves away from zero, as the system's MulDiv does.
constexpr int mulDivRounded(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = (c < 0 ? -c : c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = ((product < 0 ? -product : product) + half) / (c < 0 ? -c : c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

// A size the design gives in pixels at 96 dpi, at this resolution.
inline int scaledPixels(int pixelsAtDesignDpi, int dpi) {
    return mulDivRounded(pixelsAtDesignDpi, dpi, kDesignDpi);
}

// The character height CreateFont takes for a point size (negative: match the em height).
inline int fontHeight(float points, int dpi) {
    return -mulDivRounded(static_cast<int>(std::lround(points * 10.0)), dpi, 720);
}

inline Twips himetricToTwips(long himetric) {
    return static_cast<Twips>(static_cast<double>(himetric) * kTwipsPerInch / kHimetricPerInch);
}

}  // namespace kestrove::win32
