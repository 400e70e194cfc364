#pragma once
// What one run of a script leaves behind, and the week's figures made from it.

#include <cstdint>
#include <vector>

#include "Script.h"

namespace kestrove::week {

struct Dial {
    Ms start = 0;
    bool succeeded = false;  // the line came up by this dial
};

struct RunRecord {
    std::vector<Dial> dials;  // in start order, only those started within the script
    bool gaveUp = false;      // stopped for good: the line down at the end and no dial coming
};

// The most dials started within any 60 minutes [t, t + 60 min).
std::int64_t worstHour(const std::vector<Dial>& dials);
// Over every moment a dial can succeed: the time until the dial that succeeds starts, or until the
// script's end when none does.
Ms recoveryMs(const std::vector<Dial>& dials, const std::vector<Ms>& moments, Ms scriptLength);

struct Figures {
    std::int64_t attempts = 0;
    std::int64_t worstHour = 0;
    std::int64_t recoveryS = 0;
    bool gaveUp = false;
};

// Means over the runs, rounded; gave up when any run did.
Figures summarise(const std::vector<RunRecord>& runs, const std::vector<Script>& scripts);

}  // namespace kestrove::week
