#include <gtest/gtest.h>

#include "BatteryTimeEstimate.h"

using namespace joulemap;

namespace {

BatteryInfo charging(double currentMah, double maxMah, bool isCharging = true) {
    return {.maxCapacityMah = maxMah,
            .currentCapacityMah = currentMah,
            .isCharging = isCharging,
            .isExternalConnected = true};
}

BatteryInfo discharging(double currentMah, int64_t timeRemainingMin = 0) {
    return {.currentCapacityMah = currentMah, .timeRemainingMin = timeRemainingMin};
}

}  // namespace

TEST(BatteryTimeEstimateTest, FormatsMinutesHoursAndBoth) {
    const std::pair<int64_t, const char*> cases[] = {{59, "59分钟"}, {60, "1小时"}, {120, "2小时"}, {125, "2小时5分"}};
    for (const auto& [minutes, text] : cases) EXPECT_EQ(formatDuration(minutes), text);
}

// Charging: the time to full above 50 mA; discharging: the time left from the current, else the
// battery's own figure if it is plausible.
TEST(BatteryTimeEstimateTest, EstimateFollowsTheCurrentThenTheBatteryFigure) {
    const struct {
        BatteryInfo battery;
        std::vector<double> currents;
        const char* text;
    } cases[] = {{charging(4000, 5000), {1000}, "充满约 1小时"},
                 {charging(4000, 5000), {900, 1100}, "充满约 1小时"},
                 {charging(4000, 5000), {50}, "已接电源"},
                 {charging(4000, 5000), {}, "已接电源"},
                 {charging(4990, 5000), {1000}, "即将充满"},  // less than a minute to go
                 {charging(5000, 5000), {1000}, "已接电源"},
                 {charging(4000, 5000, false), {1000}, "已接电源"},
                 {charging(0, 5000), {1000}, "已接电源"},
                 {discharging(3000), {-1000, -2000}, "可用约 2小时"},
                 {discharging(10), {-1500}, "放电中"},
                 {discharging(3000, 90), {-50}, "可用约 1小时30分"},
                 {discharging(0, 90), {-1500}, "可用约 1小时30分"},
                 {discharging(3000, 599), {}, "可用约 9小时59分"},
                 {discharging(3000, 600), {}, "放电中"},
                 {discharging(3000, 0), {}, "放电中"}};
    for (const auto& c : cases) EXPECT_EQ(batteryTimeEstimate(c.battery, c.currents), c.text) << c.text;
}

TEST(BatteryTimeEstimateTest, EnergiesAreDividedByPowerWithNoVoltageBetween) {
    // 39 Wh left at 12 W is 3 h 15. The same charge as mAh (at the 11.4 V design voltage) over the
    // current (at the sagging 9.94 V cell voltage) would say 2 h 50.
    BatteryInfo b{.currentCapacityMah = 3421, .energyNowMwh = 39'000, .energyFullMwh = 50'000};
    EXPECT_EQ(batteryTimeEstimate(b, {-1207}), "可用约 2小时50分");
    EXPECT_EQ(batteryTimeEstimate(b, {-1207}, {-12'500, -11'500}), "可用约 3小时15分");
    EXPECT_EQ(batteryTimeEstimate(b, {-1207}, {-400}), "放电中");  // too little to divide by
    // An adapter too weak for the load drains the battery as well: time left, not "已接电源".
    b.isExternalConnected = true;
    b.batteryPowerMw = -12'000;
    EXPECT_EQ(batteryTimeEstimate(b, {-1207}, {-12'000}), "可用约 3小时15分");

    b.isCharging = true;
    EXPECT_EQ(batteryTimeEstimate(b, {900}, {11'000}), "充满约 1小时");  // 11 Wh missing at 11 W
    b.energyNowMwh = 0;  // a charge-reporting battery keeps the currents
    b.maxCapacityMah = 4321;
    EXPECT_EQ(batteryTimeEstimate(b, {900}, {11'000}), "充满约 1小时");
}

TEST(BatteryTimeEstimateTest, WindowKeepsFiveReadingsOfOneSign) {
    AmperageWindow window;
    const std::vector<std::pair<std::vector<double>, std::vector<double>>> steps{
        {{500, 600, -300}, {-300}},
        {{0, 10}, {0, 10}},  // zero sides with charging
        {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}}};
    for (const auto& [pushed, kept] : steps) {
        for (const double ma : pushed) window.push(ma);
        EXPECT_EQ(window.samples(), kept);
    }
}
