#pragma once
// Finding the program's windows from outside: top-level windows by exact title, controls by id,
// and messages that give up instead of hanging when the program does not answer.

#include <windows.h>

#include <optional>
#include <string>

namespace e2e {

// The top-level window with exactly this title. When several match, the one with child windows
// wins (the program's own helper windows have none), then the visible one.
HWND findTopLevel(const std::string& title);

std::size_t countTopLevel(const std::string& title);

// Polls for the window until it exists and answers a message, or the time is up.
HWND waitForWindow(const std::string& title, double seconds);
bool waitUntilGone(const std::string& title, double seconds);

// The direct child with this control id.
HWND findControl(HWND window, int id);

// SendMessage with a time limit: nullopt when the receiving thread is hung or gone.
std::optional<LRESULT> sendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  unsigned timeoutMs = 10000);

std::string classOf(HWND window);
// WM_GETTEXT, as a screen reader reads it; nullopt when the window does not answer.
std::optional<std::string> textOf(HWND window);

}  // namespace e2e
