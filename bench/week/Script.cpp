#include "Script.h"

namespace kestrove::week {

namespace {

constexpr Ms kFirstDrop = 10 * kMinute;  // the keeper has settled with the line up by then
constexpr int kDropsPerDay = 20;
constexpr Ms kSleepAt = 14 * kHour;  // the simulated day starts at 08:00: sleep at 22:00
constexpr Ms kSleepLength = 8 * kHour;

// The line drops once; dials started before `until` end with `failing`, later ones succeed. The shift
// moves the end of the trouble against the drop, and so against where a ladder started at the drop stands.
Script outage(std::string name, Family family, Ms shift, Outcome failing, Ms failsFor, Ms length) {
    const Ms drop = kFirstDrop;
    const Ms until = drop + failsFor + shift;
    Script script{std::move(name), family, length, {drop}, {}, {until}, {}};
    script.outcome = [until, failing](Ms start, std::size_t) {
        return start < until ? failing : Outcome::Success;
    };
    return script;
}

Script drops(std::string name, Family family, Ms shift) {
    Script script{std::move(name), family, 7 * kDay, {}, {}, {}, {}};
    for (int i = 0; i < 7 * kDropsPerDay; ++i)
        script.drops.push_back(kFirstDrop + shift + i * (kDay / kDropsPerDay));
    script.moments = script.drops;
    script.outcome = [](Ms, std::size_t) { return Outcome::Success; };
    return script;
}

Script nights(std::string name, Family family, Ms shift) {
    Script script{std::move(name), family, 7 * kDay, {}, {}, {}, {}};
    for (int night = 0; night < 7; ++night) {
        const Ms at = kSleepAt + shift + night * kDay;
        script.sleeps.push_back({at, kSleepLength});
        script.moments.push_back(at + kSleepLength);
    }
    script.outcome = [](Ms, std::size_t) { return Outcome::Success; };
    return script;
}

}  // namespace

Ms dialLength(Family family, Outcome outcome) {
    switch (outcome) {
        case Outcome::Success:
            return family == Family::Win9x ? 30 * kSecond : 5 * kSecond;
        case Outcome::FalseSuccess:
            return 5 * kSecond;
        case Outcome::Fail:
        case Outcome::FailWithBox:
        case Outcome::AuthFail:
            return 20 * kSecond;
        case Outcome::Hang:
            break;
    }
    return -1;
}

std::vector<Script> weekScripts(Ms shift) {
    std::vector<Script> scripts;
    scripts.push_back(drops("drops-9x", Family::Win9x, shift));
    scripts.push_back(drops("drops-nt", Family::WinNT, shift));
    scripts.push_back(outage("outage-9x", Family::Win9x, shift, Outcome::Fail, 3 * kHour, kDay));
    scripts.push_back(outage("outage-nt", Family::WinNT, shift, Outcome::Fail, 3 * kHour, kDay));
    scripts.push_back(outage("stale-session", Family::WinNT, shift, Outcome::AuthFail, 3 * kMinute, kDay));
    scripts.push_back(
        outage("wrong-password", Family::WinNT, shift, Outcome::AuthFail, 48 * kHour, 3 * kDay));
    scripts.push_back(outage("busy", Family::Win9x, shift, Outcome::FailWithBox, kHour, kDay));
    scripts.push_back(outage("false-success", Family::WinNT, shift, Outcome::FalseSuccess, kHour, kDay));
    scripts.push_back(nights("sleep-9x", Family::Win9x, shift));
    scripts.push_back(nights("sleep-nt", Family::WinNT, shift));
    // The first dial never ends; a dial can succeed from the drop on, once that one is out of the way.
    Script hung = outage("hung-dialer", Family::WinNT, 0, Outcome::Success, 0, kDay);
    hung.drops = hung.moments = {kFirstDrop + shift};
    hung.outcome = [](Ms, std::size_t index) { return index == 0 ? Outcome::Hang : Outcome::Success; };
    scripts.push_back(std::move(hung));
    return scripts;
}

Script weekScript(const std::string& name, Ms shift) {
    for (Script& script : weekScripts(shift)) {
        if (script.name == name) return script;
    }
    return {};
}

}  // namespace kestrove::week
