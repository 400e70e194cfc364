#pragma once
// What the program must show over the week, scenario by scenario.

#include <string>
#include <utility>
#include <vector>

#include "Metrics.h"
#include "Script.h"

namespace kestrove::week {

// Each target the program's figures miss, told with the figure; also any reference policy that beats it
// in attempts and recovery at once.
std::vector<std::string> missedTargets(const Script& script, const Figures& kestrove,
                                       const std::vector<std::pair<std::string, Figures>>& references);

}  // namespace kestrove::week
