#pragma once
// Plays a script through the program itself: the main window and its keeper over the simulated
// platform, its timers driven by the simulated clock, the dial-up service and the dialers scripted.

#include "Metrics.h"
#include "Script.h"

namespace kestrove::week {

struct KestroveOptions {
    // Let the clock jump across stretches where the line is up and nothing runs; off, every tick is played.
    bool jumpIdle = true;
    // Let the clock jump across a hold the program announces ("Next attempt at ...") or a stop; off, the
    // clock jumps only while the line is up and nothing runs.
    bool jumpHolds = true;
    // After the script: how long the line may stay down with dials succeeding before the program counts
    // as having given up.
    Ms giveUpAfter = 2 * kHour;
};

RunRecord runKestrove(const Script& script, const KestroveOptions& options = {});

}  // namespace kestrove::week
