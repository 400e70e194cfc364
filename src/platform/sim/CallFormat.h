#pragma once
// How values appear in the call record: handles and keys in upper-case hexadecimal without a prefix
// (as in "RegOpenKeyA(80000002, ...)"), twips in their shortest exact decimal form.

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace kestrove::sim {

std::string hex(std::uintmax_t value);
std::string twips(Twips value);
std::string twipRect(const TwipRect& rect);      // "left, top, width, height"
std::string screenRect(const ScreenRect& rect);  // "(left, top, right, bottom)"

}  // namespace kestrove::sim
