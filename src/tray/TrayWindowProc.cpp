// The window procedure that stands in front of the main window while the program is in the tray.
#include "platform/forms/Application.h"
#include "tray/basMain.h"

namespace kestrove {

MessageResult basMain::TrayWindowProc(WindowHandle hWnd, std::uint32_t uMsg, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
    // Read first: "Exit" closes the window, and this object goes with it before the message is forwarded.
    WindowProcService& procs = platform_.windowProcs;
    const ProcAddress previous = OldWindowProc;

    // A hook left in the window's chain by another subclass does nothing once out of the tray.
    if (inTray_) {
        if (uMsg == sys::kWmDestroy) {
            // Closed from outside while in the tray: the icon goes while its window is still there.
            RemoveFromTray();
        } else if (uMsg == taskbarCreated_) {
            // The taskbar was re-created (its process restarted) and our icon went with it.
            window_.app().dispatch([this] {
                if (!addIcon()) startRetries();
            });
        } else if (static_cast<std::uint32_t>(wParam) == TrayIconId) {
            window_.app().dispatch([this, lParam] { onTrayClick(lParam); });
        }
    }

    // After "Exit" the window is gone and there is nothing to forward to.
    if (!procs.isWindow(hWnd)) return 0;
    return procs.call(previous, hWnd, uMsg, wParam, lParam);
}

void basMain::onTrayClick(std::intptr_t mouse) {
    if (mouse == sys::kWmLButtonUp) {
        forms::Application& app = window_.app();
        RemoveFromTray();
        AnimateTray(0, TrayWindow, platform_.windows);
        app.doEvents();
        window_.show();
        app.doEvents();
    } else if (mouse == sys::kWmRButtonUp) {
        // Foreground first, or the menu stays open when the user clicks elsewhere; a null message after,
        // or the next opening closes at once.
        WindowProcService& procs = platform_.windowProcs;
        const WindowHandle window = TrayWindow;
        procs.setForeground(window);
        window_.popupMenu(popup_);
        // "Exit" may have closed the window, and this object with it.
        if (procs.isWindow(window)) procs.postNull(window);
    }
}

}  // namespace kestrove
