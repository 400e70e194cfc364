// Loaded into the program by the driver's hook: reads the items of the pop-up menu, or the tooltip of a
// control, whose window receives the read request and hands them to the driver through its shared
// buffer (see MenuReaderProtocol.h).
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include <cstring>
#include <string>

#include "MenuReaderProtocol.h"

namespace {

using namespace e2e::menureader;

constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU

class SharedBuffer {
  public:
    explicit SharedBuffer(DWORD driverProcessId)
        : mapping_(OpenFileMappingA(FILE_MAP_WRITE, FALSE, sharedBufferName(driverProcessId).c_str())),
          view_(mapping_ ? MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, kSharedBufferSize) : nullptr) {}
    ~SharedBuffer() {
        if (view_) UnmapViewOfFile(view_);
        if (mapping_) CloseHandle(mapping_);
    }
    SharedBuffer(const SharedBuffer&) = delete;
    SharedBuffer& operator=(const SharedBuffer&) = delete;

    void write(const std::string& text) {
        if (view_ == nullptr) return;
        const std::size_t length = text.size() < kSharedBufferSize ? text.size() : kSharedBufferSize - 1;
        std::memcpy(view_, text.data(), length);
        static_cast<char*>(view_)[length] = '\0';
    }

  private:
    HANDLE mapping_;
    void* view_;
};

std::string itemLines(HMENU menu) {
    std::string lines;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        if (GetMenuState(menu, position, MF_BYPOSITION) & MF_SEPARATOR) {
            lines += "-\n";
            continue;
        }
        char text[256] = {};
        GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
        lines += text;
        lines += '\n';
    }
    return lines;
}

struct ToolTipSearch {
    HWND owner;
    HWND control;
    std::string text;
    bool found = false;
};

// A tooltip window of the form that holds a tool for the control: its text.
BOOL CALLBACK readToolOf(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ToolTipSearch*>(context);
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, TOOLTIPS_CLASSA) != 0 || GetWindow(window, GW_OWNER) != search->owner) return TRUE;
    // Read in UTF-16: Wine hands at most 80 characters to the ANSI message, whatever the buffer holds.
    wchar_t wide[1100] = {};  // a tool's text is at most 1024 characters long
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.hwnd = search->owner;
    tool.uId = reinterpret_cast<UINT_PTR>(search->control);
    if (!SendMessageW(window, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) return TRUE;
    tool.lpszText = wide;
    SendMessageW(window, TTM_GETTEXTW, sizeof wide / sizeof wide[0], reinterpret_cast<LPARAM>(&tool));
    char text[2 * sizeof wide / sizeof wide[0]] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    search->text = text;
    search->found = true;
    return FALSE;
}

std::string toolTipText(HWND owner, HWND control) {
    ToolTipSearch search{owner, control, {}};
    EnumThreadWindows(GetCurrentThreadId(), readToolOf, reinterpret_cast<LPARAM>(&search));
    return search.found ? search.text : std::string(kNoToolTip);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuReaderHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call != nullptr && call->message == RegisterWindowMessageA(kReadMenuMessage)) {
        const auto menu = reinterpret_cast<HMENU>(SendMessageA(call->hwnd, kGetMenuHandle, 0, 0));
        SharedBuffer buffer(static_cast<DWORD>(call->wParam));
        buffer.write(menu != nullptr && IsMenu(menu) ? itemLines(menu) : std::string(kNoMenu));
    }
    if (code == HC_ACTION && call != nullptr &&
        call->message == RegisterWindowMessageA(kReadToolTipMessage)) {
        SharedBuffer buffer(static_cast<DWORD>(call->wParam));
        buffer.write(toolTipText(call->hwnd, reinterpret_cast<HWND>(call->lParam)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
