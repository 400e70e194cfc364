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
    // The menu opens on a right-button release, so the right button picks an item too, as in the
    // shell's own menus. The tray's hook puts the owner in the foreground around it.
    return static_cast<int>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x,
                                           at.y, 0, owner, nullptr));
}

}  // namespace kestrove::win32
