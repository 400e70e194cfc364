#pragma once
// The week's scenarios as scripts: when the line drops, when the machine sleeps, what a dial started at a
// given moment does, and the moments from which a dial can succeed (what recovery is measured from).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kestrove::week {

using Ms = std::int64_t;  // simulated time since the script began

constexpr Ms kSecond = 1000;
constexpr Ms kMinute = 60 * kSecond;
constexpr Ms kHour = 60 * kMinute;
constexpr Ms kDay = 24 * kHour;

enum class Family : std::uint8_t { Win9x, WinNT };

enum class Outcome : std::uint8_t {
    Success,       // the line comes up
    Fail,          // NT: exit 678; 9x: the dialer ends with the line down
    FailWithBox,   // 9x: the dialer shows an error box, ends once it is answered
    AuthFail,      // NT: exit 691
    FalseSuccess,  // NT: exit 0, but the line is not up
    Hang,          // the dialer never ends by itself
};

struct Sleep {
    Ms at = 0;
    Ms length = 0;
};

struct Script {
    std::string name;
    Family family = Family::Win9x;
    Ms length = 0;
    std::vector<Ms> drops;      // the line, if up, goes down
    std::vector<Sleep> sleeps;  // the line goes down as the machine sleeps
    std::vector<Ms> moments;    // from here a dial can succeed
    // What the dial started at that moment does; `index` counts the dials of the run from 0.
    std::function<Outcome(Ms start, std::size_t index)> outcome;
};

// How long the dial takes to end by itself (Hang: never).
Ms dialLength(Family family, Outcome outcome);

// Every scenario of the week, its events shifted by `shift`.
std::vector<Script> weekScripts(Ms shift);
// One scenario by name, or an empty name when there is none.
Script weekScript(const std::string& name, Ms shift);

}  // namespace kestrove::week
