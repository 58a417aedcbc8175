#include "macos/MacBatteryReader.h"
#include "macos/MacHealthReader.h"

#include <gtest/gtest.h>

using namespace joulemap;

namespace {

const std::string kFixtures = JOULEMAP_FIXTURES_DIR;

}  // namespace

TEST(MacBatteryReader, ReadsTheSmartBatteryDump) {
    // The fake tool answers only the exact smart-battery query, so this also checks the command.
    const auto info = MacBatteryReader(kFixtures + "/ioreg/fake-ioreg").readQuick();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->currentCapacityPct, 91);
    EXPECT_EQ(info->adapterWatts, 96);
    EXPECT_EQ(info->systemHealthPct, 0);  // only the slower health read fills it
}

TEST(MacBatteryReader, MachineWithoutSmartBatteryHasNoBattery) {
    EXPECT_EQ(MacBatteryReader("/nonexistent/ioreg").readQuick(), std::nullopt);
    EXPECT_EQ(MacBatteryReader("/bin/true").readQuick(), std::nullopt);  // prints nothing
    EXPECT_EQ(MacBatteryReader(kFixtures + "/ioreg/fake-ioreg-blank").readQuick(), std::nullopt);
}

TEST(MacHealthReader, ReadsMaximumCapacityFromThePowerReport) {
    EXPECT_EQ(MacHealthReader(kFixtures + "/profiler/fake-system_profiler").readHealth(), 87);
    EXPECT_EQ(MacHealthReader("/nonexistent/system_profiler").readHealth(), 0);
    EXPECT_EQ(MacHealthReader("/bin/true").readHealth(), 0);
}
