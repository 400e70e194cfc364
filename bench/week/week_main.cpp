// A simulated week: each scenario through the program itself and through the reference policies, ten
// runs each with the script shifted by 0, 31, ... 279 s; one line of means per scenario and policy, then
// whether the program meets what it must.
//
//   kestrove_week [--holds-ticked | --all-ticked] [scenario ...]     (default: every scenario)
//
// --holds-ticked plays every tick of a hold the program announces; --all-ticked every tick of the week.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Checks.h"
#include "KestroveRun.h"
#include "Policies.h"

using namespace kestrove::week;

namespace {

constexpr int kRuns = 10;
constexpr Ms kShiftStep = 31 * kSecond;

void print(const std::string& scenario, const std::string& policy, const Figures& figures) {
    std::printf("week: %s %s attempts=%lld worst_hour=%lld recovery_s=%lld gave_up=%s\n", scenario.c_str(),
                policy.c_str(), static_cast<long long>(figures.attempts),
                static_cast<long long>(figures.worstHour), static_cast<long long>(figures.recoveryS),
                figures.gaveUp ? "yes" : "no");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    KestroveOptions options;
    std::vector<std::string> wanted;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--holds-ticked") == 0) {
            options.jumpHolds = false;
        } else if (std::strcmp(argv[i], "--all-ticked") == 0) {
            options.jumpHolds = options.jumpIdle = false;
        } else {
            wanted.emplace_back(argv[i]);
        }
    }
    if (wanted.empty()) {
        for (const Script& script : weekScripts(0)) wanted.push_back(script.name);
    }
    int missed = 0;
    for (const std::string& name : wanted) {
        std::vector<Script> scripts;
        for (int run = 0; run < kRuns; ++run) scripts.push_back(weekScript(name, run * kShiftStep));
        if (scripts.front().name.empty()) {
            std::fprintf(stderr, "week: no scenario %s\n", name.c_str());
            return 2;
        }
        std::vector<RunRecord> runs;
        for (const Script& script : scripts) runs.push_back(runKestrove(script, options));
        const Figures kestrove = summarise(runs, scripts);
        print(name, "kestrove", kestrove);
        std::vector<std::pair<std::string, Figures>> references;
        for (const std::string& policy : referencePolicies()) {
            runs.clear();
            for (const Script& script : scripts) runs.push_back(runModel(script, *makePolicy(policy)));
            references.emplace_back(policy, summarise(runs, scripts));
            print(name, policy, references.back().second);
        }
        for (const std::string& miss : missedTargets(scripts.front(), kestrove, references)) {
            std::printf("check: %s kestrove misses %s\n", name.c_str(), miss.c_str());
            ++missed;
        }
    }
    std::printf("check: %d target(s) missed\n", missed);
    return 0;
}
