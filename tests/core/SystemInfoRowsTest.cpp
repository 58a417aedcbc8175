#include "SystemInfoRows.h"

#include "TestSupport.h"

using namespace joulemap;

using Rows = std::vector<std::pair<std::string, std::string>>;

TEST(SystemInfoRowsTest, RowsInOrderWithoutModelUuidOrResolutionAndMissingPartsDropped) {
    SystemInfo info = describedMac();
    info.networkDown = "1.2 MB/s";
    info.networkUp = "35 B/s";
    EXPECT_FALSE(showsLoading(info));
    EXPECT_EQ(systemInfoRows(info), (Rows{{"芯片", "Apple M2 · 8核"},
                                          {"内存", "16 GB"},
                                          {"硬盘", "494 GB · 可用 123 GB"},
                                          {"GPU", "Apple M2 · 10核 · Metal 3"},
                                          {"网络", "↓1.2 MB/s ↑35 B/s"},
                                          {"序列号", "C02ZX1YZMD6R"}}));

    info.coreCount = info.diskFreeGB = info.gpuCores = info.serialNumber = "";
    info.networkDown.clear();  // the upload rate alone shows nothing
    EXPECT_EQ(systemInfoRows(info),
              (Rows{{"芯片", "Apple M2"}, {"内存", "16 GB"}, {"硬盘", "494 GB"}, {"GPU", "Apple M2 · Metal 3"}}));
    info.memoryGB = info.diskCapacityGB = info.gpuName = info.networkUp = "";
    info.diskFreeGB = "123 GB";  // free space without a capacity has no row of its own
    info.networkDown = "0 B/s";
    EXPECT_EQ(systemInfoRows(info), (Rows{{"芯片", "Apple M2"}, {"网络", "↓0 B/s ↑"}}));

    info.chipName.clear();  // without a chip only the loading text shows
    EXPECT_TRUE(showsLoading(info));
    EXPECT_TRUE(systemInfoRows(info).empty());
}
