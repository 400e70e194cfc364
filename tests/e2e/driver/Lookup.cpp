#include "Lookup.h"

#include <vector>

#include "Deadline.h"

namespace e2e {
namespace {

constexpr DWORD kPollMs = 50;

struct TitleSearch {
    const std::string* title;
    std::vector<HWND> matches;
};

BOOL CALLBACK collectByTitle(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TitleSearch*>(context);
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    if (*search->title == text) search->matches.push_back(window);
    return TRUE;
}

int rank(HWND window) {
    const int hasChildren = GetWindow(window, GW_CHILD) != nullptr ? 2 : 0;
    const int visible = IsWindowVisible(window) ? 1 : 0;
    return hasChildren + visible;
}

}  // namespace

std::size_t countTopLevel(const std::string& title) {
    TitleSearch search{&title, {}};
    EnumWindows(collectByTitle, reinterpret_cast<LPARAM>(&search));
    return search.matches.size();
}

HWND findTopLevel(const std::string& title) {
    TitleSearch search{&title, {}};
    EnumWindows(collectByTitle, reinterpret_cast<LPARAM>(&search));
    HWND best = nullptr;
    for (HWND candidate : search.matches) {
        if (best == nullptr || rank(candidate) > rank(best)) best = candidate;
    }
    return best;
}

HWND waitForWindow(const std::string& title, double seconds) {
    const Deadline deadline(seconds);
    for (;;) {
        if (HWND window = findTopLevel(title)) {
            // An answered message means the program's start-up handler has returned to its message loop.
            if (sendWithin(window, WM_NULL, 0, 0, deadline.leftMs() + 1)) return window;
        }
        if (deadline.passed()) return nullptr;
        Sleep(kPollMs);
    }
}

bool waitUntilGone(const std::string& title, double seconds) {
    const Deadline deadline(seconds);
    while (findTopLevel(title) != nullptr) {
        if (deadline.passed()) return false;
        Sleep(kPollMs);
    }
    return true;
}

HWND findControl(HWND window, int id) {
    // Direct children only: a combo box's own edit field carries an id of its own that may collide.
    return GetDlgItem(window, id);
}

std::optional<LRESULT> sendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  unsigned timeoutMs) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &result)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

std::string classOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::optional<std::string> textOf(HWND window) {
    const auto length = sendWithin(window, WM_GETTEXTLENGTH, 0, 0);
    if (!length || *length < 0) return std::nullopt;
    std::string text(static_cast<std::size_t>(*length) + 1, '\0');
    const auto copied = sendWithin(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    if (!copied || *copied < 0) return std::nullopt;
    text.resize(static_cast<std::size_t>(*copied));
    return text;
}

}  // namespace e2e
