#pragma once
// The control panel and start-up window: pick the phone-book entry, switch the keeper on or off, see
// how often it has redialled. The keeper's and the tray's work is theirs; the window owns and drives them.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "keeper/ConnectionProbe.h"
#include "keeper/RedialSupervisor.h"
#include "platform/forms/Application.h"
#include "tray/basMain.h"

namespace kestrove {

class frmMain : public forms::Form, private basMain::TrayHost {
  public:
    frmMain(forms::Application& app, Platform& platform);

    // Keeper operations carried by this window.
    void DUN_Services(std::vector<std::string>& DUN_Array);
    bool Connected_To_ISP();
    void CloseApp();

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
    forms::Timer tmrTrayIcon;  // retries an icon the taskbar refused

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
    void Form_ActivateRequest();
    void Form_PowerResume();

    void MinimizeToTray();
    void ReportRedial();  // the counter line's tooltip, and the balloon when the redial slows down
    void SaveFromCombo();
    void SaveFromSwitch();

    // basMain::TrayHost
    Platform& trayPlatform() override { return platform_; }
    void handleTrayEvent(const std::function<void()>& handler) override;
    void letEventsRun() override;
    void showFromTray() override;
    void openTrayMenu() override;
    void retryTrayIcon() override;

    Platform& platform_;
    keeper::ConnectionProbe probe_;
    keeper::RedialSupervisor redial_;
    std::string watchedEntry_;  // reused by every watch tick
    keeper::RedialStatus reportedStatus_;
    bool reportedArmed_ = false;
    bool started_ = false;     // the load handler has finished
    int trayIconRetries_ = 0;  // tries since the new taskbar refused the icon
};

}  // namespace kestrove
