#include "Checks.h"

namespace kestrove::week {

namespace {

struct Limits {
    std::int64_t attempts = -1, worstHour = -1, recoveryS = -1;  // -1: no limit
};

Limits limitsFor(const Script& script) {
    const std::string& name = script.name;
    const auto moments = static_cast<std::int64_t>(script.moments.size());
    if (name.starts_with("drops-")) return {-1, -1, 2 * moments};
    if (name.starts_with("outage-")) return {45, -1, 300};
    if (name == "stale-session") return {-1, -1, 900};
    if (name == "wrong-password") return {55, 3, 3600};
    if (name == "busy" || name == "false-success") return {25, -1, 300};
    if (name.starts_with("sleep-")) return {-1, -1, 3 * moments};
    if (name == "hung-dialer") return {-1, -1, 200};
    return {};
}

void over(std::vector<std::string>& missed, const char* what, std::int64_t value, std::int64_t limit) {
    if (limit >= 0 && value > limit)
        missed.push_back(std::string(what) + "<=" + std::to_string(limit) + " (" + std::to_string(value) +
                         ")");
}

}  // namespace

std::vector<std::string> missedTargets(const Script& script, const Figures& kestrove,
                                       const std::vector<std::pair<std::string, Figures>>& references) {
    std::vector<std::string> missed;
    if (kestrove.gaveUp) missed.emplace_back("gave_up=no");
    const Limits limits = limitsFor(script);
    over(missed, "attempts", kestrove.attempts, limits.attempts);
    over(missed, "worst_hour", kestrove.worstHour, limits.worstHour);
    over(missed, "recovery_s", kestrove.recoveryS, limits.recoveryS);
    for (const auto& [policy, figures] : references) {
        if (figures.attempts < kestrove.attempts && figures.recoveryS < kestrove.recoveryS)
            missed.push_back("not beaten by " + policy + " (attempts " + std::to_string(figures.attempts) +
                             ", recovery_s " + std::to_string(figures.recoveryS) + ")");
    }
    return missed;
}

}  // namespace kestrove::week
