// The connection flag in the registry: what reads as connected, and the calls made to read it.
#include <gtest/gtest.h>

#include "keeper/ConnectionProbe.h"
#include "platform/sim/SimPlatform.h"

namespace kestrove::testing {
namespace {

constexpr const char* kKey = "System\\CurrentControlSet\\Services\\RemoteAccess";
constexpr const char* kValue = "Remote Connection";

class Probe : public ::testing::Test {
  protected:
    bool probe(std::vector<std::uint8_t> bytes) {
        sim.setRegistryValue(kKey, kValue, std::move(bytes));
        return keeper::readConnectionFlag(sim.platform().registry);
    }
    sim::SimPlatform sim;
};

TEST_F(Probe, AnyNonZeroValueOfUpToFourBytesIsConnected) {
    EXPECT_TRUE(probe({0x01, 0x00, 0x00, 0x00}));
    EXPECT_TRUE(probe({0x00, 0x00, 0x00, 0x01}));
    EXPECT_TRUE(probe({0x01}));
    EXPECT_FALSE(probe({0x00, 0x00, 0x00, 0x00}));
    EXPECT_FALSE(probe({}));
}

TEST_F(Probe, LongerValuesDoNotFitAndReadAsDown) {
    EXPECT_FALSE(probe({0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01}));
    EXPECT_NE(Module3::RegistryStatus, 0);
}

TEST_F(Probe, OneOpenOneReadOneCloseEveryCall) {
    probe({0x01, 0, 0, 0});
    sim.log().clear();
    for (int i = 0; i < 3; ++i) keeper::readConnectionFlag(sim.platform().registry);
    EXPECT_EQ(sim.log().count("RegOpenKeyA"), 3u) << sim.log().dump();
    EXPECT_EQ(sim.log().count("RegQueryValueExA"), 3u);
    EXPECT_EQ(sim.log().count("RegCloseKey"), 3u);
    EXPECT_EQ(sim.openRegistryKeys(), 0u);
    EXPECT_EQ(Module3::RegistryStatus, 0);
}

TEST_F(Probe, MissingValueIsDownAndTheKeyIsStillClosed) {
    probe({0x01, 0, 0, 0});
    sim.removeRegistryValue(kKey, kValue);
    sim.log().clear();
    EXPECT_FALSE(keeper::readConnectionFlag(sim.platform().registry));
    EXPECT_EQ(sim.log().count("RegCloseKey"), 1u) << sim.log().dump();
    EXPECT_EQ(sim.openRegistryKeys(), 0u);
}

TEST_F(Probe, MissingKeyIsDownWithNothingToClose) {
    sim.removeRegistryKey(kKey);
    sim.log().clear();
    EXPECT_FALSE(keeper::readConnectionFlag(sim.platform().registry));
    EXPECT_NE(Module3::RegistryStatus, 0);
    EXPECT_EQ(sim.log().count("RegQueryValueExA"), 0u) << sim.log().dump();
    EXPECT_EQ(sim.log().count("RegCloseKey"), 0u);
}

}  // namespace
}  // namespace kestrove::testing
