#include "SystemInfoRows.h"

#include <gtest/gtest.h>

namespace joulemap {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

SystemInfo fullInfo() {
    SystemInfo info;
    info.modelName = "MacBook Air";
    info.chipName = "Apple M2";
    info.coreCount = "8";
    info.memoryGB = "16 GB";
    info.serialNumber = "C02ZX1YZMD6R";
    info.hardwareUUID = "4B1E27A0-93C5-5F1D-8A62-0C7D3E9B1F44";
    info.diskCapacityGB = "494 GB";
    info.diskFreeGB = "123 GB";
    info.gpuName = "Apple M2";
    info.gpuCores = "10";
    info.metalVersion = "Metal 3";
    info.displayResolution = "2560 x 1664 Retina";
    info.networkDown = "1.2 MB/s";
    info.networkUp = "35 B/s";
    return info;
}

TEST(SystemInfoRowsTest, FullInfoShowsSixRowsInOrderWithoutModelUuidOrResolution) {
    const auto info = fullInfo();
    EXPECT_FALSE(showsLoading(info));
    EXPECT_EQ(systemInfoRows(info), (Rows{
                                        {"芯片", "Apple M2 · 8核"},
                                        {"内存", "16 GB"},
                                        {"硬盘", "494 GB · 可用 123 GB"},
                                        {"GPU", "Apple M2 · 10核 · Metal 3"},
                                        {"网络", "↓1.2 MB/s ↑35 B/s"},
                                        {"序列号", "C02ZX1YZMD6R"},
                                    }));
}

TEST(SystemInfoRowsTest, WithoutChipOnlyTheLoadingTextShows) {
    auto info = fullInfo();
    info.chipName.clear();
    EXPECT_TRUE(showsLoading(info));
    EXPECT_TRUE(systemInfoRows(info).empty());
}

TEST(SystemInfoRowsTest, MissingPartsDropTheirSeparatorOrTheirRow) {
    auto info = fullInfo();
    info.coreCount.clear();
    info.diskFreeGB.clear();
    info.gpuCores.clear();
    info.networkDown.clear();  // the upload rate alone shows nothing
    info.serialNumber.clear();
    EXPECT_EQ(systemInfoRows(info), (Rows{
                                        {"芯片", "Apple M2"},
                                        {"内存", "16 GB"},
                                        {"硬盘", "494 GB"},
                                        {"GPU", "Apple M2 · Metal 3"},
                                    }));

    info.memoryGB.clear();
    info.diskCapacityGB.clear();
    info.diskFreeGB = "123 GB";  // free space without a capacity has no row of its own
    info.gpuName.clear();
    info.networkDown = "0 B/s";
    info.networkUp.clear();
    EXPECT_EQ(systemInfoRows(info), (Rows{{"芯片", "Apple M2"}, {"网络", "↓0 B/s ↑"}}));
}

}  // namespace
}  // namespace joulemap
