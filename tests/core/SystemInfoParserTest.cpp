#include "SystemInfoParser.h"

#include "TestSupport.h"

using namespace joulemap;
using namespace joulemap::SystemInfoParser;

TEST(SystemInfoParserTest, ParseFieldTakesTheRestOfTheLineOrTheNextNonEmptyLine) {
    EXPECT_EQ(parseField("  Chip: Apple M2\n  Memory: 8 GB\n", "Chip:"), "Apple M2");
    EXPECT_EQ(parseField("Chip:\t Apple M1 Pro \t\nMemory: 8 GB", "Chip:"), "Apple M1 Pro");
    EXPECT_EQ(parseField("Free: 1 GB\nFree: 2 GB\n", "Free:"), "1 GB");  // the first occurrence
    EXPECT_EQ(parseField("Displays:\n\n        Color LCD:\n", "Displays:"), "Color LCD:");
    // A label followed only by spaces has no value; it does not borrow the next line.
    EXPECT_EQ(parseField("Chip:   \nMemory: 8 GB\n", "Chip:"), std::nullopt);
    EXPECT_EQ(parseField("Memory: 8 GB\n", "Chip:"), std::nullopt);
    EXPECT_EQ(parseField("Memory: 8 GB\nChip:", "Chip:"), std::nullopt);
    EXPECT_EQ(parseField("chip: Apple M2\n", "Chip:"), std::nullopt);  // case matters
}

TEST(SystemInfoParserTest, ReportsFillTheirOwnFieldsEachSearchedSeparately) {
    SystemInfo info;
    parseHardwareReport(fixture("profiler/SPHardwareDataType.txt"), info);
    parseStorageReport(fixture("profiler/SPStorageDataType.txt"), info);
    parseDisplaysReport(fixture("profiler/SPDisplaysDataType.txt"), info);

    // Cores of "8 (4 performance and 4 efficiency)", the first volume (not the backup), the GPU's own cores.
    EXPECT_EQ(info, describedMac());
    EXPECT_TRUE(info.isLoaded());

    // A report without the chip leaves the machine "not loaded" although other fields are known;
    // a missing report empties what an earlier one had filled.
    parseHardwareReport("Hardware Overview:\n  Model Name: Mac mini\n  Memory: 8 GB\n", info);
    EXPECT_FALSE(info.isLoaded());
    parseStorageReport("", info);
    EXPECT_EQ(info, (SystemInfo{.modelName = "Mac mini",
                                .memoryGB = "8 GB",
                                .gpuName = "Apple M2",
                                .gpuCores = "10",
                                .metalVersion = "Metal 3",
                                .displayResolution = "2560 x 1664 Retina"}));
}

TEST(SystemInfoParserTest, DiskSizesKeepWholeUnits) {
    const std::pair<const char*, const char*> texts[] = {{"494.38 GB (494,384,795,648 bytes)", "494 GB"},
                                                         {"1.5 TB (1,500,000,000,000 bytes)", "1 TB"},
                                                         {"  251   GB", "251 GB"},
                                                         {"Zero", "Zero"},
                                                         {"", ""}};
    for (const auto& [text, simple] : texts) EXPECT_EQ(simplifyDiskSize(text), simple) << text;
    // The same form from a byte count, in decimal units as the storage report prints them.
    const std::pair<uint64_t, const char*> sizes[] = {{494'384'795'648, "494 GB"},
                                                      {1'500'000'000'000, "1 TB"},
                                                      {999'999'999, "999 MB"},
                                                      {1'000'000'000, "1 GB"},
                                                      {0, "0 KB"}};
    for (const auto& [bytes, text] : sizes) EXPECT_EQ(diskSizeText(bytes), text) << bytes;
}

TEST(SystemInfoParserTest, RatesUseBinaryUnitsWithOneDecimalAndWholeBytes) {
    // 1023.9 is truncated, not rounded.
    const std::pair<double, const char*> cases[] = {{0, "0 B/s"},
                                                    {0.99, "0 B/s"},
                                                    {-5, "0 B/s"},
                                                    {1, "1 B/s"},
                                                    {1023.9, "1023 B/s"},
                                                    {1024, "1.0 KB/s"},
                                                    {1536, "1.5 KB/s"},
                                                    {1'048'575, "1024.0 KB/s"},
                                                    {1'048'576, "1.0 MB/s"},
                                                    {1.2 * 1'048'576, "1.2 MB/s"},
                                                    {3.5 * 1'073'741'824, "3.5 GB/s"}};
    for (const auto& [rate, text] : cases) EXPECT_EQ(formatRate(rate), text) << rate;
    // An absurd rate is printed in full (291 digits), never as whatever the buffer held.
    const std::string huge = formatRate(1e300);
    EXPECT_EQ(huge.find_first_not_of("0123456789"), 291u) << huge;
    EXPECT_TRUE(huge.ends_with(".0 GB/s")) << huge;
}

TEST(SystemInfoParserTest, NetstatCountsEachRealInterfaceOnceOnItsLinkRow) {
    // en0 and en5 count; loopback, tunnels, bridges and wireless direct links do not, nor the
    // address rows of en0 (which carry other byte counts), nor en6 whose counter is unreadable.
    EXPECT_EQ(netstatTotals(fixture("netstat/netstat-ib.txt")),
              (std::pair<uint64_t, uint64_t>{6'050'000'000, 304'000'000}));

    EXPECT_EQ(netstatTotals(""), std::nullopt);
    EXPECT_EQ(
        netstatTotals("Name  Mtu   Network       Address            Ipkts Ierrs     Ibytes    Opkts Oerrs  "
                      "   Obytes  Coll\n"),
        (std::pair<uint64_t, uint64_t>{0, 0}));
}

TEST(SystemInfoParserTest, NetworkRateDividesByAtLeastOneSecondAndNeverGoesNegative) {
    const std::pair<uint64_t, uint64_t> totals{10'000'000 + 3'145'728, 5'000 + 2'048};

    EXPECT_EQ(networkRate(totals, 10'000'000, 5'000, 3.0),
              (NetworkRate{"1.0 MB/s", "682 B/s", totals.first, totals.second}));

    EXPECT_EQ(networkRate(totals, totals.first, 5'000, 4.0).up, "512 B/s");
    EXPECT_EQ(networkRate(totals, totals.first, totals.second - 1024, 0.5).up, "1.0 KB/s");  // half a second
    // An interface reset: the counter went backwards in one direction only.
    EXPECT_EQ(networkRate(std::pair<uint64_t, uint64_t>{100, 9'000}, 50'000, 5'000, 4.0),
              (NetworkRate{"0 B/s", "1000 B/s", 100, 9'000}));

    // No counters: nothing to show, and the next measurement starts again from zero.
    EXPECT_EQ(networkRate(std::nullopt, 50'000, 5'000, 3.0), NetworkRate{});
}
