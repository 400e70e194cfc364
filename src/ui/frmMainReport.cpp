// The main window's side of telling the user how the redial goes: the counter line's tooltip and the
// tray icon's balloon when a failure only the user can mend has slowed the redial.

#include "ui/AttemptReport.h"
#include "ui/frmMain.h"

namespace kestrove {

void frmMain::ReportRedial() {
    const keeper::RedialStatus status = redial_.status();
    const std::uint32_t now = app().tickCount();
    if (const std::optional<std::string> entry = redial_.takeSlowNotice())
        basMain::ShowTrayBalloon(platform_, slowBalloonText(platform_, *entry, status, now));
    const bool armed = chckAuto.value() == 1;
    if (status == reportedStatus_ && armed == reportedArmed_) return;
    reportedStatus_ = status;
    reportedArmed_ = armed;
    lblLoop.setToolTip(attemptToolTip(platform_, status, armed, now));
}

}  // namespace kestrove
