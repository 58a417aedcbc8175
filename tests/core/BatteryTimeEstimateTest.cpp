#include <gtest/gtest.h>

#include "BatteryTimeEstimate.h"

namespace joulemap {
namespace {

BatteryInfo charging(double currentMah, double maxMah) {
    BatteryInfo battery;
    battery.isExternalConnected = true;
    battery.isCharging = true;
    battery.currentCapacityMah = currentMah;
    battery.maxCapacityMah = maxMah;
    return battery;
}

BatteryInfo discharging(double currentMah, int64_t timeRemainingMin = 0) {
    BatteryInfo battery;
    battery.currentCapacityMah = currentMah;
    battery.timeRemainingMin = timeRemainingMin;
    return battery;
}

TEST(BatteryTimeEstimateTest, FormatsMinutesHoursAndBoth) {
    EXPECT_EQ(formatDuration(45), "45分钟");
    EXPECT_EQ(formatDuration(59), "59分钟");
    EXPECT_EQ(formatDuration(60), "1小时");
    EXPECT_EQ(formatDuration(120), "2小时");
    EXPECT_EQ(formatDuration(125), "2小时5分");
}

TEST(BatteryTimeEstimateTest, ChargingEstimatesTimeToFullOnlyAboveFiftyMilliamps) {
    EXPECT_EQ(batteryTimeEstimate(charging(4000, 5000), {1000}), "充满约 1小时");
    EXPECT_EQ(batteryTimeEstimate(charging(4000, 5000), {900, 1100}), "充满约 1小时");
    EXPECT_EQ(batteryTimeEstimate(charging(4000, 5000), {40}), "已接电源");
    EXPECT_EQ(batteryTimeEstimate(charging(4000, 5000), {50}), "已接电源");
    EXPECT_EQ(batteryTimeEstimate(charging(4000, 5000), {}), "已接电源");
    // Less than a minute to go.
    EXPECT_EQ(batteryTimeEstimate(charging(4990, 5000), {1000}), "即将充满");

    BatteryInfo full = charging(5000, 5000);
    EXPECT_EQ(batteryTimeEstimate(full, {1000}), "已接电源");
    BatteryInfo notCharging = charging(4000, 5000);
    notCharging.isCharging = false;
    EXPECT_EQ(batteryTimeEstimate(notCharging, {1000}), "已接电源");
    EXPECT_EQ(batteryTimeEstimate(charging(0, 5000), {1000}), "已接电源");
}

TEST(BatteryTimeEstimateTest, DischargingUsesCurrentThenFallsBackToBatteryFigure) {
    EXPECT_EQ(batteryTimeEstimate(discharging(3000), {-1500}), "可用约 2小时");
    EXPECT_EQ(batteryTimeEstimate(discharging(3000), {-1000, -2000}), "可用约 2小时");
    EXPECT_EQ(batteryTimeEstimate(discharging(10), {-1500}), "放电中");

    // Too little current, or no readings: the battery's own figure if it is plausible.
    EXPECT_EQ(batteryTimeEstimate(discharging(3000, 90), {-50}), "可用约 1小时30分");
    EXPECT_EQ(batteryTimeEstimate(discharging(0, 90), {-1500}), "可用约 1小时30分");
    EXPECT_EQ(batteryTimeEstimate(discharging(3000, 599), {}), "可用约 9小时59分");
    EXPECT_EQ(batteryTimeEstimate(discharging(3000, 600), {}), "放电中");
    EXPECT_EQ(batteryTimeEstimate(discharging(3000, 0), {}), "放电中");
}

TEST(BatteryTimeEstimateTest, EnergiesAreDividedByPowerWithNoVoltageBetween) {
    // 39 Wh left at 12 W is 3 h 15. The same charge as mAh (at the 11.4 V design voltage) over the
    // current (at the sagging 9.94 V cell voltage) would say 2 h 50.
    BatteryInfo b = discharging(3421);
    b.energyNowMwh = 39'000;
    b.energyFullMwh = 50'000;
    EXPECT_EQ(batteryTimeEstimate(b, {-1207}), "可用约 2小时50分");
    EXPECT_EQ(batteryTimeEstimate(b, {-1207}, {-12'500, -11'500}), "可用约 3小时15分");
    EXPECT_EQ(batteryTimeEstimate(b, {-1207}, {-400}), "放电中");  // too little to divide by
    // An adapter too weak for the load drains the battery as well: time left, not "已接电源".
    b.isExternalConnected = true;
    b.batteryPowerMw = -12'000;
    EXPECT_EQ(batteryTimeEstimate(b, {-1207}, {-12'000}), "可用约 3小时15分");

    b.isExternalConnected = true;
    b.isCharging = true;
    EXPECT_EQ(batteryTimeEstimate(b, {900}, {11'000}), "充满约 1小时");  // 11 Wh missing at 11 W
    b.energyNowMwh = 0;  // a charge-reporting battery keeps the currents
    b.maxCapacityMah = 4321;
    EXPECT_EQ(batteryTimeEstimate(b, {900}, {11'000}), "充满约 1小时");
}

TEST(BatteryTimeEstimateTest, WindowKeepsFiveReadingsOfOneSign) {
    AmperageWindow window;
    for (double ma : {500.0, 600.0}) {
        window.push(ma);
    }
    window.push(-300);
    EXPECT_EQ(window.samples(), std::vector<double>{-300});

    // Zero sides with charging.
    window.push(0);
    window.push(10);
    EXPECT_EQ(window.samples(), (std::vector<double>{0, 10}));

    for (double ma : {1.0, 2.0, 3.0, 4.0, 5.0}) {
        window.push(ma);
    }
    EXPECT_EQ(window.samples(), (std::vector<double>{1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace joulemap
