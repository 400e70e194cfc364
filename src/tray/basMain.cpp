// Into the tray and out of it: the hook and the icon go in and come out together.
#include "tray/basMain.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kestrove {

namespace {

constexpr std::size_t kTipField = sizeof(NotifyIconRecord::szTip);
constexpr unsigned kRetryMs = 1000;
constexpr int kIconRetries = 20;  // one a second: a taskbar starting at log-on can take that long

}  // namespace

basMain::basMain(Platform& platform, forms::Form& window, forms::MenuItem& popup)
    : platform_(platform), window_(window), popup_(popup), retry_(window, kRetryMs, false) {
    retry_.onTimer = [this] { retryIcon(); };
}

// The last way out: a window that goes while in the tray must not leave its icon behind.
basMain::~basMain() { RemoveFromTray(); }

bool basMain::AddToTray(const std::string& status) {
    // Already behind the icon: a second hook would forward to itself, a second icon fails.
    if (inTray_) return true;
    TrayWindow = window_.hWnd();
    TrayIconId = static_cast<std::uint32_t>(platform_.program.instance());
    TrayTip = "Kestrove " + status + '\0';
    OldWindowProc = platform_.windowProcs.install(TrayWindow, *this);
    if (OldWindowProc == 0) return false;
    inTray_ = true;
    if (taskbarCreated_ == 0) taskbarCreated_ = platform_.windowProcs.registerMessage("TaskbarCreated");

    TrayIconData = NotifyIconRecord{};
    TrayIconData.hWnd = TrayWindow;
    TrayIconData.cbSize = sys::kNotifyIconDataV1Size;
    TrayIconData.hIcon = window_.icon();
    const std::string tip = platform_.codePage.toAnsi(TrayTip);
    std::memset(TrayIconData.szTip, ' ', kTipField);
    std::memcpy(TrayIconData.szTip, tip.data(), std::min(tip.size(), kTipField));
    TrayIconData.uCallbackMessage = sys::kTrayCallbackMessage;
    TrayIconData.uID = TrayIconId;
    TrayIconData.uFlags = sys::kNifMessageIconTip;

    if (platform_.shell.notifyIcon(NotifyIconMessage::Add, TrayIconData)) {
        iconAdded();
    } else {
        startRetries();
    }
    AnimateTray(1, TrayWindow, platform_.windows);
    return true;
}

void basMain::RemoveFromTray() {
    if (!inTray_) return;
    inTray_ = false;
    iconShown_ = false;
    retry_.setEnabled(false);
    platform_.windowProcs.restore(TrayWindow, OldWindowProc);
    platform_.shell.notifyIcon(NotifyIconMessage::Delete, TrayIconData);
}

bool basMain::addIcon() {
    if (!platform_.shell.notifyIcon(NotifyIconMessage::Add, TrayIconData) &&
        !platform_.shell.notifyIcon(NotifyIconMessage::Modify, TrayIconData)) {
        return false;
    }
    iconAdded();
    return true;
}

void basMain::iconAdded() {
    iconShown_ = true;
    retry_.setEnabled(false);
    // Tried once: a shell without balloons would refuse it at every later try too.
    if (waitingBalloon_) showBalloon(*std::exchange(waitingBalloon_, std::nullopt));
}

void basMain::startRetries() {
    retries_ = 0;
    retry_.setEnabled(true);
}

// More tries, then the window comes back rather than stay hidden with no icon to restore it.
void basMain::retryIcon() {
    if (!inTray_ || addIcon()) return;  // either way the timer is off now
    if (++retries_ < kIconRetries) return;
    RemoveFromTray();
    window_.show();
}

}  // namespace kestrove
