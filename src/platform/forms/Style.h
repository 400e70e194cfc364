#pragma once
// Look-and-feel values a window design is made of. Backends turn them into real colours, fonts,
// images and cursors.

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace kestrove::forms {

enum class SystemColour : std::uint8_t { WindowText, ButtonFace };

struct Colour {
    bool isSystem = true;
    SystemColour system = SystemColour::WindowText;
    std::uint8_t r = 0, g = 0, b = 0;

    static constexpr Colour Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        return Colour{false, SystemColour::WindowText, red, green, blue};
    }
    static constexpr Colour System(SystemColour c) { return Colour{true, c, 0, 0, 0}; }
    friend bool operator==(const Colour&, const Colour&) = default;
};

struct Font {
    std::string face = "Verdana";
    float points = 8.25f;
    int weight = 400;
    friend bool operator==(const Font&, const Font&) = default;
};

// Images the program carries as resources.
enum class Picture : std::uint8_t { None, AppIcon, Banner, Logo };

enum class Cursor : std::uint8_t { Arrow, Hand };

enum class TextAlign : std::uint8_t { Left, Centre };

// Mouse button and modifier masks as the event handlers receive them.
enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum ShiftMask : int { kShiftMask = 1, kCtrlMask = 2, kAltMask = 4 };

struct MouseArgs {
    int button = 0;
    int shift = 0;
    Twips x = 0, y = 0;
};

}  // namespace kestrove::forms
