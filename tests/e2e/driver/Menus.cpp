#include "Menus.h"

#include <cstring>

#include "Deadline.h"
#include "Inside.h"
#include "Lookup.h"
#include "menureader/MenuReaderProtocol.h"

namespace e2e {
namespace {

constexpr DWORD kPollMs = 50;

BOOL CALLBACK findVisibleMenu(HWND window, LPARAM context) {
    if (classOf(window) == "#32768" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(context) = window;
        return FALSE;
    }
    return TRUE;
}

std::vector<std::string> splitLines(const char* text) {
    std::vector<std::string> lines;
    for (const char* line = text; *line != '\0';) {
        const char* end = std::strchr(line, '\n');
        if (end == nullptr) end = line + std::strlen(line);
        lines.emplace_back(line, end);
        line = *end == '\n' ? end + 1 : end;
    }
    return lines;
}

void postKey(HWND window, WPARAM key) {
    const auto keyData = static_cast<LPARAM>(1u | (MapVirtualKeyA(static_cast<UINT>(key), 0) << 16));
    PostMessageA(window, WM_KEYDOWN, key, keyData);
}

}  // namespace

HWND waitForOpenMenu(double seconds) {
    const Deadline deadline(seconds);
    for (;;) {
        HWND menu = nullptr;
        EnumWindows(findVisibleMenu, reinterpret_cast<LPARAM>(&menu));
        if (menu != nullptr || deadline.passed()) return menu;
        Sleep(kPollMs);
    }
}

std::optional<std::vector<std::string>> menuItems(HWND menuWindow) {
    const auto text = askInside(menuWindow, menureader::kReadMenuMessage, 0);
    if (!text || text->empty() || *text == menureader::kNoMenu) return std::nullopt;
    return splitLines(text->c_str());
}

bool chooseMenuItem(HWND menuWindow, const std::vector<std::string>& items, std::size_t position) {
    if (position >= items.size() || items[position] == "-") return false;
    // The menu's own loop takes the keys from its thread's queue, whichever of its windows they are for.
    postKey(menuWindow, VK_HOME);
    for (std::size_t i = 0; i < position; ++i) {
        if (items[i] != "-") postKey(menuWindow, VK_DOWN);
    }
    postKey(menuWindow, VK_RETURN);
    return true;
}

}  // namespace e2e
