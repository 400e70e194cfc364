#pragma once
// How the driver and the reader, which runs inside the program, talk. A menu handle means nothing
// outside the process that built the menu (Wine refuses to read another process's menus), and a
// tooltip hands its texts only to its own process, so the reader is loaded into that process by a
// window-procedure hook and copies what it read into a named shared buffer that the driver has made.
//
// Each request is sent with wParam = the driver's process id; the reader writes into the mapping named
// by sharedBufferName(that id), NUL-terminated:
//   kReadMenuMessage, to a menu window: one line per item, "-" for a separator; kNoMenu when the
//   window has no menu;
//   kReadToolTipMessage, to a window with lParam = one of its controls: the text of that control's tool
//   in the window's tooltips; kNoToolTip when it has none.

#include <cstdio>
#include <string>

namespace e2e::menureader {

constexpr const char* kReadMenuMessage = "Kestrove.E2E.ReadMenu";
constexpr const char* kHookProcName = "MenuReaderHook";
constexpr const char* kNoMenu = "\x01no menu";
constexpr const char* kReadToolTipMessage = "Kestrove.E2E.ReadToolTip";
constexpr const char* kNoToolTip = "\x01no tooltip";
constexpr unsigned kSharedBufferSize = 64 * 1024;

inline std::string sharedBufferName(unsigned long driverProcessId) {
    char name[64];
    std::snprintf(name, sizeof name, "Kestrove.E2E.MenuItems.%lu", driverProcessId);
    return name;
}

}  // namespace e2e::menureader
