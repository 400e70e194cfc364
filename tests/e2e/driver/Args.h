#pragma once
// Reading the driver's command-line words: numbers in decimal or 0x-hex, message names.

#include <cstdint>
#include <optional>
#include <string>

namespace e2e {

std::optional<std::int64_t> parseNumber(const std::string& word);

// "WM_RBUTTONUP", "rbuttonup" or a number.
std::optional<unsigned> parseMessage(const std::string& word);

// Mouse-message key flags: a number, or names joined by '+': "shift+rbutton", "control", "none".
std::optional<unsigned> parseKeyFlags(const std::string& word);

}  // namespace e2e
