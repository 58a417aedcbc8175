// The macOS readers run their tools; fake tools here answer only the exact arguments, so these
// also check the command lines.
#include "macos/MacBatteryReader.h"
#include "macos/MacHealthReader.h"
#include "macos/MacProcessLister.h"
#include "macos/MacSystemInfoSource.h"

#include <gtest/gtest.h>

#include <tuple>

namespace joulemap {
namespace {

const std::string kFixtures = JOULEMAP_FIXTURES_DIR;

TEST(MacBatteryReader, ReadsTheSmartBatteryDumpAndNothingWithoutOne) {
    const auto info = MacBatteryReader(kFixtures + "/ioreg/fake-ioreg").readQuick();
    ASSERT_TRUE(info);
    // Only the slower health read fills the health figure.
    EXPECT_EQ(std::tuple(info->currentCapacityPct, info->adapterWatts, info->systemHealthPct),
              std::tuple(91, 96, 0));
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
    EXPECT_EQ(std::tuple(snapshot.at(1).cpuSeconds, snapshot.at(412).path, snapshot.at(9001).cpuSeconds),
              std::tuple(133.45, "/Applications/Google Chrome.app/Contents/MacOS/Google Chrome", 86401.0));
    EXPECT_TRUE(MacProcessLister(kFixtures + "/ps/ps-fails.sh").snapshot().empty());
    EXPECT_TRUE(MacProcessLister(kFixtures + "/ps/no-such-ps").snapshot().empty());
}

TEST(MacSystemInfoSource, RunsTheThreeReportsAndTheInterfaceListing) {
    MacSystemInfoSource source(kFixtures + "/profiler/fake-system_profiler-machine",
                               kFixtures + "/netstat/fake-netstat");
    const SystemInfo info = source.collect();
    EXPECT_EQ(std::tuple(info.chipName, info.diskCapacityGB, info.metalVersion),
              std::tuple("Apple M2", "494 GB", "Metal 3"));
    EXPECT_EQ(source.networkTotals(), (std::pair<uint64_t, uint64_t>{6'050'000'000, 304'000'000}));
    for (const char* tool : {"/nonexistent/tool", "/bin/true"}) {
        MacSystemInfoSource broken(tool, tool);
        EXPECT_EQ(broken.collect(), SystemInfo{}) << tool;
        EXPECT_EQ(broken.networkTotals(), std::nullopt) << tool;
    }
}

}  // namespace
}  // namespace joulemap
