#include "ui/frmMain.h"

#include "keeper/PhoneBook.h"
#include "keeper/SettingsFile.h"
#include "ui/AttemptReport.h"
#include "ui/ResumeNext.h"
#include "ui/frmAbout.h"
#include "ui/frmEgg.h"

namespace kestrove {

using namespace forms;

namespace {

FormDesc mainDesign() {
    FormDesc d;
    d.name = "frmMain";
    d.caption = "Kestrove";
    d.client = {5655, 1545};
    return d;
}

ControlDesc checkBoxDesign() {
    ControlDesc d = design("chckAuto", {240, 112, 1200, 255}, "Activate?");
    d.back = Colour::Rgb(192, 192, 192);
    d.cursor = Cursor::Hand;
    d.tabIndex = 0;
    return d;
}

ControlDesc comboDesign() {
    ControlDesc d = design("Combo1", {2640, 405, 2055, 315}, "Combo1");
    d.back = Colour::Rgb(255, 255, 255);
    d.tabIndex = 2;
    return d;
}

ControlDesc hideButtonDesign() {
    ControlDesc d = design("cmdMinTray", {4920, 352, 615, 375}, "&Hide");
    d.cursor = Cursor::Hand;
    d.tabIndex = 1;
    d.cancel = true;  // Esc hides to the tray
    return d;
}

ControlDesc iconDesign() {
    ControlDesc d = design("imgIcon", {4920, 952, 480, 480});
    d.picture = Picture::AppIcon;
    d.toolTip = "About Kestrove";
    d.cursor = Cursor::Hand;
    d.transparent = true;
    return d;
}

ControlDesc hotSpotDesign() {
    ControlDesc d = design("imgEgg", {1440, 182, 110, 110});
    d.transparent = true;
    return d;
}

ControlDesc counterDesign() {
    ControlDesc d = design("lblLoop", {480, 945, 3615, 255}, " You have been reconnected 0 times.");
    d.border = true;
    return d;
}

ControlDesc authorDesign() {
    // Lies below the visible client area; the load hides it for good.
    return design("lblAuthor", {240, 1680, 3615, 195}, "Created by Tavrek");
}

}  // namespace

frmMain::frmMain(Application& app, Platform& platform)
    : Form(app, mainDesign()),
      chckAuto(*this, checkBoxDesign()),
      lblConnection(*this, design("lblConnection", {240, 472, 2355, 195}, "Name of connection to use:")),
      Combo1(*this, comboDesign()),
      cmdMinTray(*this, hideButtonDesign()),
      imgIcon(*this, iconDesign()),
      imgEgg(*this, hotSpotDesign()),
      lblLoop(*this, counterDesign()),
      lblAuthor(*this, authorDesign()),
      Timer1(*this, 1, true),
      tmrReconnect(*this, 1000, false),
      tmrTrayIcon(*this, 1000, false),
      mnuPopUp("Tray Menu", false),
      mnuRestore("Restore Window"),
      BLANK1("-"),
      mnuOfHelp("Help", false),
      mnuHelp("Help"),
      mnuAbout("About"),
      mnuExit("Exit"),
      platform_(platform),
      probe_(platform),
      redial_(platform, app, probe_) {
    addDecoration({Decoration::Kind::Rectangle, {120, 232, 4695, 615}});     // Shape2
    addDecoration({Decoration::Kind::FilledCircle, {1440, 182, 110, 110}});  // Shape5
    addDecoration({Decoration::Kind::Rectangle, {4800, 472, 615, 375}});     // Shape3
    addDecoration({Decoration::Kind::Rectangle, {4440, 832, 735, 375}});     // Shape4
    addDecoration({Decoration::Kind::Line, {240, 832, 240, 1072}});          // Line2
    addDecoration({Decoration::Kind::Line, {240, 1065, 480, 1065}});         // Line3
    addDecoration({Decoration::Kind::Line, {4080, 1072, 4440, 1072}});       // Line1

    mnuPopUp.add(mnuRestore);
    mnuPopUp.add(BLANK1);
    mnuPopUp.add(mnuOfHelp);
    mnuOfHelp.add(mnuHelp);
    mnuOfHelp.add(mnuAbout);
    mnuPopUp.add(mnuExit);

    chckAuto.onClick = [this] { chckAuto_Click(); };
    Combo1.onClick = [this] { Combo1_Click(); };
    cmdMinTray.onClick = [this] { cmdMinTray_Click(); };
    imgIcon.onClick = [this] { imgIcon_Click(); };
    imgEgg.onMouseUp = [this](const MouseArgs& args) { imgEgg_MouseUp(args); };
    onMouseMove = [this](const MouseArgs& args) { Form_MouseMove(args); };
    onActivateRequest = [this] { Form_ActivateRequest(); };
    onPowerResume = [this] { Form_PowerResume(); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    tmrReconnect.onTimer = [this] { tmrReconnect_Timer(); };
    tmrTrayIcon.onTimer = [this] { tmrTrayIcon_Timer(); };
    mnuRestore.onClick = [this] { mnuRestore_Click(); };
    mnuExit.onClick = [this] { mnuExit_Click(); };
}

void frmMain::Form_Load() {
    keeper::SettingsFile settings(platform_);
    std::optional<keeper::SettingsReader> file;
    const auto openFile = [&]() -> keeper::SettingsReader& {
        if (!file) throw RuntimeError("Bad file name or number");
        return *file;
    };

    ResumeNext([&] { file.emplace(settings.open()); });
    ResumeNext([&] { ConnectionName = settings.decodeName(openFile().readName()); });
    ResumeNext([&] { AutoValue = openFile().readSwitch(); });
    ResumeNext([&] { file.reset(); });
    ResumeNext([&] { chckAuto.setValue(AutoValue); });
    ResumeNext([&] { lblAuthor.setVisible(false); });
    std::vector<std::string> entries;
    ResumeNext([&] { DUN_Services(entries); });
    ResumeNext([&] {
        for (const std::string& entry : entries) Combo1.addItem(entry);
    });
    ResumeNext([&] { Combo1.setText(ConnectionName.value_or(std::string())); });
    started_ = true;
}

void frmMain::DUN_Services(std::vector<std::string>& DUN_Array) {
    keeper::enumeratePhoneBook(platform_.phoneBook, platform_.codePage, DUN_Array);
}

bool frmMain::Connected_To_ISP() { return probe_.connected(Combo1.text()); }

void frmMain::Timer1_Timer() {
    Combo1.pollText(watchedEntry_);
    const bool dialling = redial_.dialInProgress(watchedEntry_);
    if (dialling) {
        tmrReconnect.setEnabled(false);
    } else if (chckAuto.value() == 1) {
        tmrReconnect.setEnabled(true);
    }
    // An attempt's end is told at once, even with the switch off.
    if (!dialling && reportedStatus_.state == keeper::RedialState::Dialling) ReportRedial();
}

void frmMain::tmrReconnect_Timer() {
    if (app().sessionEnding()) return;  // a dialer now would hold up the shutdown with its dialog
    if (redial_.redial(Combo1.text())) {
        ++ReconnectCount;
        lblLoop.setCaption(counterCaption(ReconnectCount));
    }
    ReportRedial();
}

void frmMain::chckAuto_Click() {
    if (chckAuto.value() == 1) {
        redial_.resume();
        tmrReconnect.setEnabled(true);
        MinimizeToTray();
    } else {
        tmrReconnect.setEnabled(false);
    }
    SaveFromSwitch();
    ReportRedial();
}

void frmMain::Combo1_Click() {
    redial_.resume();
    SaveFromCombo();
    ReportRedial();
}

void frmMain::cmdMinTray_Click() { MinimizeToTray(); }

// The probe looks at once: a line the sleep dropped is redialled as soon as the machine is back.
void frmMain::Form_PowerResume() {
    redial_.powerResumed();
    if (tmrReconnect.enabled()) {
        tmrReconnect_Timer();
    } else {
        ReportRedial();
    }
}

void frmMain::SaveFromCombo() { keeper::SettingsFile(platform_).save(Combo1.text(), chckAuto.value()); }

// Writes the entry that is being kept alive: once start-up is over that is the combo box's text; during
// the load the combo box does not hold it yet, and the name just read is the one.
void frmMain::SaveFromSwitch() {
    const std::optional<std::string> name =
        started_ ? std::optional<std::string>(Combo1.text()) : ConnectionName;
    keeper::SettingsFile(platform_).save(name, chckAuto.value());
}

void frmMain::imgIcon_Click() { app().form<frmAbout>(platform_).show(); }

void frmMain::imgEgg_MouseUp(const MouseArgs& args) {
    if (args.button == kRightButton && args.shift == kShiftMask) app().form<frmEgg>().show();
}

void frmMain::Form_MouseMove(const MouseArgs&) { lblAuthor.setVisible(false); }

}  // namespace kestrove
