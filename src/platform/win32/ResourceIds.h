#pragma once
// The program's resource numbers as the backend uses them.

#include "resources/resource.h"

namespace kestrove::win32::resource {
constexpr int kAppIcon = IDI_KESTROVE;
constexpr int kHandCursor = IDC_POINTING_HAND;
constexpr int kBanner = IDR_BANNER;
constexpr int kLogo = IDR_LOGO;
}  // namespace kestrove::win32::resource
