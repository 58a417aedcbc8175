#include "BatteryInfo.h"

#include <gtest/gtest.h>

using namespace joulemap;

namespace {

BatteryInfo capacities(double designMah, double maxMah, int64_t systemHealthPct = 0) {
    return {.designCapacityMah = designMah, .maxCapacityMah = maxMah, .systemHealthPct = systemHealthPct};
}

}  // namespace

TEST(BatteryInfo, HealthFromSystemFigureElseCapacityRatio) {
    using Status = BatteryInfo::HealthStatus;
    const struct {
        BatteryInfo info;
        double health;
        Status status;
    } cases[] = {
        {capacities(5000, 4200), 84, Status::fair},       {capacities(5000, 5200), 100, Status::good},  // capped
        {capacities(5000, 4500), 90, Status::good},       {capacities(5000, 3995), 79.9, Status::replace},
        {capacities(0, 4200), 0, Status::replace},        {capacities(5000, 3000, 91), 91, Status::good},
        {capacities(5000, 3000, 104), 104, Status::good}, {capacities(5000, 5000, 80), 80, Status::fair}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(c.info.stateOfHealth(), c.health) << c.health;
        EXPECT_EQ(c.info.healthStatus(), c.status) << c.health;
    }
    // Without the system's figure and both capacities the 0 above means "unknown".
    EXPECT_FALSE(capacities(0, 4200).isHealthKnown());
    EXPECT_FALSE(capacities(5000, 0).isHealthKnown());
    EXPECT_TRUE(capacities(5000, 3995).isHealthKnown());
    EXPECT_TRUE(capacities(0, 0, 91).isHealthKnown());
}

TEST(BatteryInfo, InputAndConsumptionOnAdapter) {
    // The rating is never the input: unmeasured, it is the charging power plus 4 W, or plus the
    // consumption measured on battery.
    BatteryInfo info{.isExternalConnected = true, .adapterWatts = 60, .batteryPowerMw = 20000};
    EXPECT_DOUBLE_EQ(info.inputPowerWatts(), 24);
    EXPECT_DOUBLE_EQ(info.systemConsumedWatts(), 4);
    EXPECT_FALSE(info.isInputMeasured());
    info.consumptionEstimateMw = 9120;
    EXPECT_DOUBLE_EQ(info.inputPowerWatts(), 29.12);
    EXPECT_DOUBLE_EQ(info.systemConsumedWatts(), 9.12);
    info.batteryPowerMw = -5000;  // the battery helping out is not subtracted
    EXPECT_DOUBLE_EQ(info.systemConsumedWatts(), 9.12);
    info.systemPowerInMw = 42180;  // a measured input
    info.batteryPowerMw = 18650;
    EXPECT_DOUBLE_EQ(info.inputPowerWatts(), 42.18);
    EXPECT_DOUBLE_EQ(info.systemConsumedWatts(), 42.18 - 18.65);
    EXPECT_TRUE(info.isInputMeasured());
}

TEST(BatteryInfo, InputAndConsumptionOnBattery) {
    // A stale adapter rating must not count while unplugged.
    BatteryInfo info{
        .voltageMv = 12000, .instantAmperageMa = -1000, .adapterWatts = 96, .batteryPowerMw = -13500};
    EXPECT_DOUBLE_EQ(info.instantPowerWatts(), -12);
    EXPECT_DOUBLE_EQ(info.inputPowerWatts(), 12);
    EXPECT_DOUBLE_EQ(info.systemConsumedWatts(), 12);
    info.systemPowerInMw = 13500;
    EXPECT_DOUBLE_EQ(info.inputPowerWatts(), 13.5);
    EXPECT_DOUBLE_EQ(info.systemConsumedWatts(), 13.5);
}
