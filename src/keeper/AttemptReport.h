#pragma once
// What the user is told about the redial: the counter line's tooltip (the last attempt and what comes
// next) and the balloon when the redial stops itself.

#include <string>

#include "keeper/RedialSupervisor.h"
#include "platform/Platform.h"

namespace kestrove::keeper {

// Empty before any attempt. armed: the switch is ticked.
std::string attemptToolTip(Platform& platform, RedialSupervisor& redial, bool armed);

// For the attempt that stopped the redial.
std::string stopBalloonText(Platform& platform, const DialAttempt& attempt);

}  // namespace kestrove::keeper
