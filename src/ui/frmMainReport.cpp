// The main window's side of telling the user how the redial goes: the counter line's tooltip and the
// tray icon's balloon when the redial has stopped itself.

#include "keeper/AttemptReport.h"
#include "ui/frmMain.h"

namespace kestrove {

void frmMain::ReportRedial() {
    if (redial_.takeStopNotice()) {
        if (const keeper::DialAttempt* attempt = redial_.lastAttempt()) {
            tray_.ShowTrayBalloon(keeper::stopBalloonText(platform_, *attempt));
        }
    }
    const bool armed = chckAuto.value() == 1;
    if (redial_.changes() == reportedChanges_ && armed == reportedArmed_) return;
    reportedChanges_ = redial_.changes();
    reportedArmed_ = armed;
    lblLoop.setToolTip(keeper::attemptToolTip(platform_, redial_, armed));
}

}  // namespace kestrove
