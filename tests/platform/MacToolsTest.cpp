// The macOS readers run their tools; fake tools here answer only the exact arguments, so these
// also check the command lines.
#include "macos/MacBatteryReader.h"
#include "macos/MacHealthReader.h"
#include "macos/MacProcessLister.h"
#include "macos/MacSystemInfoSource.h"

#include <gtest/gtest.h>

namespace joulemap {
namespace {

const std::string kFixtures = JOULEMAP_FIXTURES_DIR;

TEST(MacBatteryReader, ReadsTheSmartBatteryDumpAndNothingWithoutOne) {
    const auto info = MacBatteryReader(kFixtures + "/ioreg/fake-ioreg").readQuick();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->currentCapacityPct, 91);
    EXPECT_EQ(info->adapterWatts, 96);
    EXPECT_EQ(info->systemHealthPct, 0);  // only the slower health read fills it
    for (const std::string& tool :
         {kFixtures + "/ioreg/fake-ioreg-blank", kFixtures + "/none", std::string("/bin/true")}) {
        EXPECT_EQ(MacBatteryReader(tool).readQuick(), std::nullopt) << tool;
    }
}

TEST(MacHealthReader, ReadsMaximumCapacityFromThePowerReport) {
    EXPECT_EQ(MacHealthReader(kFixtures + "/profiler/fake-system_profiler").readHealth(), 87);
    EXPECT_EQ(MacHealthReader("/nonexistent/system_profiler").readHealth(), 0);
    EXPECT_EQ(MacHealthReader("/bin/true").readHealth(), 0);
}

TEST(MacProcessLister, ParsesTheTableOnlyWhenPsSucceeds) {
    const auto snapshot = MacProcessLister(kFixtures + "/ps/ps-table.sh").snapshot();
    ASSERT_EQ(snapshot.size(), 3u);
    EXPECT_DOUBLE_EQ(snapshot.at(1).cpuSeconds, 133.45);
    EXPECT_EQ(snapshot.at(412).path, "/Applications/Google Chrome.app/Contents/MacOS/Google Chrome");
    EXPECT_DOUBLE_EQ(snapshot.at(9001).cpuSeconds, 86401);
    EXPECT_TRUE(MacProcessLister(kFixtures + "/ps/ps-fails.sh").snapshot().empty());
    EXPECT_TRUE(MacProcessLister(kFixtures + "/ps/no-such-ps").snapshot().empty());
}

TEST(MacSystemInfoSource, RunsTheThreeReportsAndTheInterfaceListing) {
    MacSystemInfoSource source(kFixtures + "/profiler/fake-system_profiler-machine",
                               kFixtures + "/netstat/fake-netstat");
    const SystemInfo info = source.collect();
    EXPECT_EQ(info.chipName, "Apple M2");
    EXPECT_EQ(info.diskCapacityGB, "494 GB");
    EXPECT_EQ(info.metalVersion, "Metal 3");
    EXPECT_EQ(source.networkTotals(), (std::pair<uint64_t, uint64_t>{6'050'000'000, 304'000'000}));
    for (const char* tool : {"/nonexistent/tool", "/bin/true"}) {
        MacSystemInfoSource broken(tool, tool);
        EXPECT_EQ(broken.collect(), SystemInfo{}) << tool;
        EXPECT_EQ(broken.networkTotals(), std::nullopt) << tool;
    }
}

}  // namespace
}  // namespace joulemap
