#pragma once
// The program keeps its tray state and the probe's last registry status in module variables, as one
// process would hold them; each run of the week starts as a fresh process would.

#include "keeper/ConnectionProbe.h"
#include "tray/basMain.h"

namespace kestrove::week {

inline void resetProgramState() {
    basMain::TrayWindow = 0;
    basMain::TrayIconId = 0;
    basMain::OldWindowProc = 0;
    basMain::TrayIconData = NotifyIconRecord{};
    basMain::TrayTip.clear();
    basMain::TrayOwner = nullptr;
    basMain::TrayActive = false;
    basMain::TaskbarCreated = 0;
    Module3::RegistryStatus = 0;
}

}  // namespace kestrove::week
