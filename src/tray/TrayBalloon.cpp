// The one message the icon gives by itself: a balloon, for what the user must act on.
#include "tray/basMain.h"

namespace kestrove::basMain {

bool ShowTrayBalloon(Platform& platform, const std::string& text) {
    if (!TrayActive) return false;
    return platform.shell.balloon(TrayIconData.hWnd, TrayIconData.uID, "Kestrove",
                                  platform.codePage.toAnsi(text));
}

}  // namespace kestrove::basMain
