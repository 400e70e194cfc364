#pragma once
// Reading what only the program's own process can read: the reader DLL beside the driver is hooked
// into the thread that owns a window, and answers a request sent to that window (see
// menureader/MenuReaderProtocol.h).

#include <windows.h>

#include <optional>
#include <string>

namespace e2e {

// The reader's answer to the request of that name, sent to the window with lParam; nullopt when the
// reader cannot be loaded or the window does not answer.
std::optional<std::string> askInside(HWND window, const char* request, LPARAM lParam);

}  // namespace e2e
