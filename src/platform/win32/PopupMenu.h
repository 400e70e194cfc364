#pragma once
// A pop-up menu at the mouse position, answered with the chosen command.

#include <windows.h>

#include <vector>

#include "platform/forms/Backend.h"
#include "platform/win32/Handles.h"

namespace kestrove::win32 {

OwnedMenu buildMenu(const std::vector<forms::MenuEntry>& entries);

// Returns after the menu closed: the chosen command, 0 when dismissed.
int trackPopupMenu(HWND owner, const std::vector<forms::MenuEntry>& entries);

}  // namespace kestrove::win32
