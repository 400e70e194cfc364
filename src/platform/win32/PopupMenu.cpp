#include "platform/win32/PopupMenu.h"

#include "platform/win32/AnsiText.h"

namespace kestrove::win32 {

OwnedMenu buildMenu(const std::vector<forms::MenuEntry>& entries) {
    OwnedMenu menu(CreatePopupMenu());
    if (!menu) throw RuntimeError("cannot create a menu");
    for (const auto& entry : entries) {
        if (entry.caption == "-") {
            AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::string caption = toAnsi(entry.caption);
        if (entry.children.empty()) {
            AppendMenuA(menu.get(), MF_STRING, static_cast<UINT_PTR>(entry.command), caption.c_str());
            continue;
        }
        OwnedMenu submenu = buildMenu(entry.children);
        if (AppendMenuA(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()), caption.c_str())) {
            submenu.release();  // destroyed with its parent from now on
        }
    }
    return menu;
}

int trackPopupMenu(HWND owner, const std::vector<forms::MenuEntry>& entries) {
    const OwnedMenu menu = buildMenu(entries);
    POINT at{};
    GetCursorPos(&at);
    // Without the owner in the foreground the menu would not close when the user clicks elsewhere,
    // and without the WM_NULL afterwards a second opening would close at once. The menu opens on a
    // right-button release, so the right button picks an item too, as in the shell's own menus.
    SetForegroundWindow(owner);
    const int chosen = static_cast<int>(TrackPopupMenu(
        menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    return chosen;
}

}  // namespace kestrove::win32
