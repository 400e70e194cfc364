#include "Menus.h"

#include <cstring>

#include "Deadline.h"
#include "Lookup.h"
#include "menureader/MenuReaderProtocol.h"
#include "platform/win32/Owned.h"

namespace e2e {
namespace {

using kestrove::win32::Owned;
using OwnedModule = Owned<HMODULE, FreeLibrary>;
using OwnedHandle = Owned<HANDLE, CloseHandle>;
using OwnedHook = Owned<HHOOK, UnhookWindowsHookEx>;
using OwnedView = Owned<void*, UnmapViewOfFile>;

constexpr DWORD kPollMs = 50;

BOOL CALLBACK findVisibleMenu(HWND window, LPARAM context) {
    if (classOf(window) == "#32768" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(context) = window;
        return FALSE;
    }
    return TRUE;
}

std::string besideDriver(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.find_last_of('\\') + 1);
    return folder + name;
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
    using namespace menureader;
    const OwnedModule reader(LoadLibraryA(besideDriver("kestrove_menureader.dll").c_str()));
    const auto hookProc =
        reader
            ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(reader.get(), kHookProcName)))
            : nullptr;
    if (hookProc == nullptr) return std::nullopt;

    const DWORD self = GetCurrentProcessId();
    const OwnedHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                 kSharedBufferSize, sharedBufferName(self).c_str()));
    if (!mapping) return std::nullopt;
    const OwnedView view(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, kSharedBufferSize));
    if (!view) return std::nullopt;
    auto* text = static_cast<char*>(view.get());
    text[0] = '\0';

    // The hook loads the reader into the thread that owns the menu; it answers while the menu is open.
    const OwnedHook hook(SetWindowsHookExA(WH_CALLWNDPROC, hookProc, reader.get(),
                                           GetWindowThreadProcessId(menuWindow, nullptr)));
    if (!hook) return std::nullopt;
    if (!sendWithin(menuWindow, RegisterWindowMessageA(kReadMenuMessage), self, 0)) return std::nullopt;
    text[kSharedBufferSize - 1] = '\0';
    if (std::strcmp(text, kNoMenu) == 0 || text[0] == '\0') return std::nullopt;
    return splitLines(text);
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
