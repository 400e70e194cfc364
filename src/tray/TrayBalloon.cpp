// The one message the icon gives by itself: a balloon, for what the user must act on.
#include "tray/basMain.h"

namespace kestrove {

// Not shown now (no icon yet at log-on, the taskbar refused it, or lost it with Explorer and not yet
// told us), it waits for the icon.
void basMain::ShowTrayBalloon(const std::string& text) {
    waitingBalloon_ = text;
    if (!iconShown_) return;
    if (platform_.shell.balloon(TrayIconData.hWnd, TrayIconData.uID, "Kestrove",
                                platform_.codePage.toAnsi(text))) {
        waitingBalloon_.reset();
    }
}

void basMain::showBalloon(const std::string& text) {
    platform_.shell.balloon(TrayIconData.hWnd, TrayIconData.uID, "Kestrove", platform_.codePage.toAnsi(text));
}

}  // namespace kestrove
