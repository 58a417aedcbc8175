#include "macos/MacSystemInfoSource.h"

#include <gtest/gtest.h>

namespace joulemap {
namespace {

const std::string kFixtures = JOULEMAP_FIXTURES_DIR;

TEST(MacSystemInfoSource, RunsTheThreeReportsAndTheInterfaceListing) {
    // The fake tools answer only the exact arguments, so this also checks the command lines.
    MacSystemInfoSource source(kFixtures + "/profiler/fake-system_profiler-machine",
                               kFixtures + "/netstat/fake-netstat");
    const SystemInfo info = source.collect();
    EXPECT_EQ(info.chipName, "Apple M2");
    EXPECT_EQ(info.diskCapacityGB, "494 GB");
    EXPECT_EQ(info.metalVersion, "Metal 3");
    EXPECT_EQ(source.networkTotals(), (std::pair<uint64_t, uint64_t>{6'050'000'000, 304'000'000}));
}

TEST(MacSystemInfoSource, ToolsThatCannotRunOrPrintNothingGiveEmptyFields) {
    MacSystemInfoSource missing("/nonexistent/system_profiler", "/nonexistent/netstat");
    EXPECT_EQ(missing.collect(), SystemInfo{});
    EXPECT_EQ(missing.networkTotals(), std::nullopt);
    MacSystemInfoSource silent("/bin/true", "/bin/true");
    EXPECT_EQ(silent.collect(), SystemInfo{});
    EXPECT_EQ(silent.networkTotals(), std::nullopt);
}

}  // namespace
}  // namespace joulemap
