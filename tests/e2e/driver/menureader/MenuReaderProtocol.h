#pragma once
// How the driver and the menu reader, which runs inside the program that shows a pop-up menu, talk.
// A menu handle means nothing outside the process that built the menu (Wine refuses to read another
// process's menus), so the reader is loaded into that process by a window-procedure hook and copies the
// item texts into a named shared buffer that the driver has made.
//
// The driver sends kReadMenuMessage to the menu window with wParam = the driver's process id; the
// reader writes into the mapping named by sharedBufferName(that id): one line per item, "-" for a
// separator, NUL-terminated, and kNoMenu when the window has no menu.

#include <cstdio>
#include <string>

namespace e2e::menureader {

constexpr const char* kReadMenuMessage = "Kestrove.E2E.ReadMenu";
constexpr const char* kHookProcName = "MenuReaderHook";
constexpr const char* kNoMenu = "\x01no menu";
constexpr unsigned kSharedBufferSize = 64 * 1024;

inline std::string sharedBufferName(unsigned long driverProcessId) {
    char name[64];
    std::snprintf(name, sizeof name, "Kestrove.E2E.MenuItems.%lu", driverProcessId);
    return name;
}

}  // namespace e2e::menureader
