#pragma once
// What the user is told about the redial: the counter line, its tooltip (the last attempt and what comes
// next) and the balloon when a failure only the user can mend has slowed the redial.

#include <cstdint>
#include <string>

#include "keeper/RedialStatus.h"
#include "platform/Platform.h"

namespace kestrove {

// The counter line after `count` attempts.
std::string counterCaption(std::int64_t count);

// Empty before any attempt. armed: the switch is ticked. now: the tick count the status was taken at.
std::string attemptToolTip(Platform& platform, const keeper::RedialStatus& status, bool armed,
                           std::uint32_t now);

// For the attempt on `entry` that slowed the redial down.
std::string slowBalloonText(Platform& platform, const std::string& entry, const keeper::RedialStatus& status,
                            std::uint32_t now);

}  // namespace kestrove
