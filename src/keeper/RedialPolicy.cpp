#include "keeper/RedialPolicy.h"

#include <algorithm>
#include <iterator>

namespace kestrove::keeper {

namespace {

struct Range {
    std::uint32_t first, last;
};

// The account or password, no such entry, an entry that needs the user's answers, no protocol, another
// broadband connection on the device, and the VPN's certificate, key and policy errors.
constexpr Range kPermanent[] = {{623, 623}, {647, 649}, {691, 691}, {703, 703}, {708, 708},
                                {720, 720}, {741, 742}, {766, 766}, {786, 793}, {798, 798},
                                {801, 801}, {810, 813}, {827, 827}, {835, 835}, {853, 866}};
// Port in use, already being dialled, the service starting, no modem or no network adapter.
constexpr std::uint32_t kWaits[] = {633, 711, 756, 797, 814};

constexpr std::uint32_t kFirstHoldMs = 5'000;
constexpr std::uint32_t kLongestHoldMs = 300'000;

}  // namespace

DialOutcome classifyDialResult(std::uint32_t exitCode) {
    if (exitCode == 0) return DialOutcome::Connected;
    for (const Range& range : kPermanent) {
        if (exitCode >= range.first && exitCode <= range.last) return DialOutcome::Permanent;
    }
    if (std::find(std::begin(kWaits), std::end(kWaits), exitCode) != std::end(kWaits))
        return DialOutcome::Wait;
    return DialOutcome::Transient;
}

std::uint32_t backOffMs(unsigned failures) {
    if (failures < 2) return 0;
    const unsigned doublings = std::min(failures - 2, 7u);  // 5 s * 2^7 is past the longest hold already
    return std::min(kFirstHoldMs << doublings, kLongestHoldMs);
}

std::uint32_t slowPaceMs(unsigned slowed) {
    constexpr std::uint32_t kQuarterHourMs = 900'000;
    return kQuarterHourMs << (slowed < 2 ? 0 : slowed == 2 ? 1 : 2);
}

}  // namespace kestrove::keeper
