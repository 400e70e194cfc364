// The simulated week's own arithmetic and models: a wrong figure there would misreport every policy.
#include <gtest/gtest.h>

#include "KestroveRun.h"
#include "Metrics.h"
#include "Policies.h"

namespace kestrove::week {
namespace {

std::vector<Dial> startsAt(std::vector<Ms> starts) {
    std::vector<Dial> dials;
    for (const Ms start : starts) dials.push_back({start, false});
    return dials;
}

TEST(WeekFigures, WorstHourCountsStartsWithinSixtyMinutesOnly) {
    EXPECT_EQ(worstHour({}), 0);
    EXPECT_EQ(worstHour(startsAt({0, kHour})), 1);  // an hour apart: never in the same hour
    EXPECT_EQ(worstHour(startsAt({0, kHour - 1})), 2);
    EXPECT_EQ(worstHour(startsAt({0, 1000, kHour - 1, kHour, kHour + 1})), 4);
}

TEST(WeekFigures, RecoveryRunsToTheFirstSucceedingDialAfterEachMoment) {
    std::vector<Dial> dials = {{50, true}, {150, false}, {300, true}, {6000, true}};
    EXPECT_EQ(recoveryMs(dials, {100, 5000}, 10'000), 200 + 1000);
    // No dial succeeds after the last moment: the rest of the script counts.
    EXPECT_EQ(recoveryMs(dials, {100, 9000}, 10'000), 200 + 1000);
    dials.pop_back();
    EXPECT_EQ(recoveryMs(dials, {5000}, 10'000), 5000);
}

// A drop at 0 and dials that fail for `failing`, 20 s each, then succeed.
Script outageOf(Family family, Ms failing, Outcome how = Outcome::Fail) {
    Script script{"test", family, kDay, {0}, {}, {failing}, {}};
    script.outcome = [failing, how](Ms start, std::size_t) {
        return start < failing ? how : Outcome::Success;
    };
    return script;
}

std::vector<Ms> gaps(const RunRecord& run) {
    std::vector<Ms> between;
    for (std::size_t i = 1; i < run.dials.size(); ++i)
        between.push_back(run.dials[i].start - run.dials[i - 1].start);
    return between;
}

TEST(ReferencePolicies, PppdHoldsOff30sAndGivesUpAfterMaxfail) {
    const Script script = outageOf(Family::WinNT, 3 * kHour);
    const RunRecord limited = runModel(script, *makePolicy("pppd-maxfail10"));
    EXPECT_EQ(limited.dials.size(), 10u);
    EXPECT_EQ(limited.dials.front().start, 30 * kSecond);
    EXPECT_EQ(gaps(limited), std::vector<Ms>(9, 50 * kSecond));  // 20 s dial, 30 s hold-off
    EXPECT_TRUE(limited.gaveUp);
    const RunRecord forever = runModel(script, *makePolicy("pppd-forever"));
    EXPECT_FALSE(forever.gaveUp);
    EXPECT_TRUE(forever.dials.back().succeeded);
}

TEST(ReferencePolicies, WvdialDoublesTo600sAndStopsOnAuthentication) {
    const RunRecord run = runModel(outageOf(Family::WinNT, 3 * kHour), *makePolicy("wvdial"));
    const std::vector<Ms> measured = gaps(run);
    ASSERT_GE(measured.size(), 9u);
    const std::vector<Ms> expected = {30, 40, 60, 100, 180, 340, 620, 620};  // the dial's 20 s + the wait
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(measured[i], expected[i] * kSecond) << i;
    const RunRecord auth = runModel(outageOf(Family::WinNT, kHour, Outcome::AuthFail), *makePolicy("wvdial"));
    EXPECT_EQ(auth.dials.size(), 1u);
    EXPECT_TRUE(auth.gaveUp);
}

TEST(ReferencePolicies, NetworkManagerBlocksAfterFourTriesAndWindowsStopsAfterThree) {
    const RunRecord nm = runModel(outageOf(Family::WinNT, kHour), *makePolicy("networkmanager"));
    const std::vector<Ms> measured = gaps(nm);
    ASSERT_GE(measured.size(), 5u);
    EXPECT_EQ(measured[2], 20'500);
    EXPECT_EQ(measured[3], 320 * kSecond);  // the fourth failure blocks it for 300 s
    EXPECT_EQ(measured[4], 20'500);
    EXPECT_FALSE(nm.gaveUp);
    const RunRecord windows = runModel(outageOf(Family::WinNT, kHour), *makePolicy("windows-redial"));
    EXPECT_EQ(gaps(windows), (std::vector<Ms>{80 * kSecond, 80 * kSecond}));
    EXPECT_TRUE(windows.gaveUp);
}

// The program itself through the scripted dialers: one drop, redialled within a second, the dial
// succeeding and nothing more.
TEST(WeekOverTheProgram, ADropIsRedialledOnceOnBothFamilies) {
    for (const Family family : {Family::Win9x, Family::WinNT}) {
        Script script{"test", family, kHour, {10 * kMinute}, {}, {10 * kMinute}, {}};
        script.outcome = [](Ms, std::size_t) { return Outcome::Success; };
        const RunRecord run = runKestrove(script);
        ASSERT_EQ(run.dials.size(), 1u);
        EXPECT_TRUE(run.dials[0].succeeded);
        EXPECT_LE(recoveryMs(run.dials, script.moments, script.length), 1100);
        EXPECT_FALSE(run.gaveUp);
    }
}

// The clock's jumps across an announced hold and a line that is up must change nothing: the same dials at
// the same moments as when every tick is played.
TEST(WeekOverTheProgram, JumpingTheClockChangesNoDial) {
    Script script{"test", Family::WinNT, 70 * kMinute, {10 * kMinute, 55 * kMinute}, {}, {25 * kMinute}, {}};
    script.outcome = [](Ms start, std::size_t) {
        return start < 25 * kMinute ? Outcome::Fail : Outcome::Success;
    };
    const RunRecord jumped = runKestrove(script);
    const RunRecord ticked = runKestrove(script, {.jumpIdle = false, .jumpHolds = false});
    ASSERT_GT(jumped.dials.size(), 5u);  // a ladder climbed, then a drop redialled
    ASSERT_EQ(jumped.dials.size(), ticked.dials.size());
    for (std::size_t i = 0; i < jumped.dials.size(); ++i) {
        EXPECT_EQ(jumped.dials[i].start, ticked.dials[i].start) << i;
        EXPECT_EQ(jumped.dials[i].succeeded, ticked.dials[i].succeeded) << i;
    }
}

}  // namespace
}  // namespace kestrove::week
