#pragma once
// The program's pop-up menus from outside: find the open one, read its items, choose one by keyboard.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

// The visible pop-up menu window (class "#32768"), polled for until the time is up; null if none.
HWND waitForOpenMenu(double seconds);

// The item texts of the menu shown in that window, "-" for a separator; nullopt when they cannot be read.
// Needs kestrove_menureader.dll beside the driver.
std::optional<std::vector<std::string>> menuItems(HWND menuWindow);

// Chooses the item at that position as the keyboard does: Home, Down until it is selected, Enter.
// False when the position is a separator or beyond the end.
bool chooseMenuItem(HWND menuWindow, const std::vector<std::string>& items, std::size_t position);

}  // namespace e2e
