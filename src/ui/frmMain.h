#pragma once
// The control panel and start-up window: pick the phone-book entry, switch the keeper on or off, see
// how often it has redialled.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "keeper/NtDialUp.h"
#include "platform/forms/Application.h"

namespace kestrove {

class frmMain : public forms::Form {
  public:
    explicit frmMain(forms::Application& app);

    // Keeper operations carried by this window.
    void DUN_Services(std::vector<std::string>& DUN_Array);
    bool Connected_To_ISP();
    void CloseApp();
    // The re-created taskbar refused the icon: try again for a while (tray side).
    void RetryTrayIcon();

    forms::CheckBox chckAuto;
    forms::Label lblConnection;
    forms::ComboBox Combo1;
    forms::CommandButton cmdMinTray;
    forms::Image imgIcon;
    forms::Image imgEgg;
    forms::Label lblLoop;
    forms::Label lblAuthor;
    forms::Timer Timer1;
    forms::Timer tmrReconnect;
    forms::Timer tmrTrayIcon;  // retries the icon on a new taskbar

    forms::MenuItem mnuPopUp;
    forms::MenuItem mnuRestore;
    forms::MenuItem BLANK1;
    forms::MenuItem mnuOfHelp;
    forms::MenuItem mnuHelp;
    forms::MenuItem mnuAbout;
    forms::MenuItem mnuExit;

    // State, in the window's order. The counter counts attempts and never overflows.
    std::int64_t ReconnectCount = 0;
    std::optional<std::string> ConnectionName;  // as read at start-up; unset when the file held none
    std::int16_t AutoValue = 0;
    std::string TrayStatus;

  protected:
    void Form_Load() override;

  private:
    void chckAuto_Click();
    void Combo1_Click();
    void cmdMinTray_Click();
    void imgIcon_Click();
    void imgEgg_MouseUp(const forms::MouseArgs& args);
    void Form_MouseMove(const forms::MouseArgs& args);
    void Timer1_Timer();
    void tmrReconnect_Timer();
    void tmrTrayIcon_Timer();
    void mnuRestore_Click();
    void mnuExit_Click();

    void MinimizeToTray();
    WindowHandle WaitForDialerWindow();
    bool DialerRunning();
    bool DialInProgress();
    void SaveFromCombo();
    void SaveFromSwitch();

    const PlatformFamily family_;             // decides how the keeper probes and dials, once at start-up
    std::unique_ptr<StartedProcess> dialer_;  // the dialer last started, held until it has ended
    std::vector<RasConnection> connections_;  // reused by every probe of the dial-up service (NT family)
    keeper::EntryState probedEntry_{};        // the entry as the last probe found it (NT family)
    bool started_ = false;                    // the load handler has finished
    bool redialling_ = false;                 // a redial tick is waiting for its dialer
    int trayIconRetries_ = 0;                 // tries since the new taskbar refused the icon
    std::string watchedEntry_;                // buffers reused by every watch tick
    std::string watchedTitle_;
    std::string watchedTitleAnsi_;
};

}  // namespace kestrove
