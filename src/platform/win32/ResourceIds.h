#pragma once
// The program's resource numbers, for code that also sees <windows.h>: the system headers define a
// stock cursor under the same name as the program's hand cursor, so the program's header is read
// with the system's name set aside and then restored.

#include <windows.h>

#pragma push_macro("IDC_HAND")
#undef IDC_HAND
#include "resources/resource.h"

namespace kestrove::win32::resource {
constexpr int kAppIcon = IDI_KESTROVE;
constexpr int kHandCursor = IDC_HAND;
constexpr int kBanner = IDR_BANNER;
constexpr int kLogo = IDR_LOGO;
}  // namespace kestrove::win32::resource

#undef IDC_HAND
#pragma pop_macro("IDC_HAND")
