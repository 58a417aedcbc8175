#include "BatteryHealthModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace joulemap;
namespace model = joulemap::BatteryHealthModel;

namespace {

BatteryInfo battery(double designMah, double maxMah, int64_t systemHealthPct = 0) {
    BatteryInfo info;
    info.designCapacityMah = designMah;
    info.maxCapacityMah = maxMah;
    info.systemHealthPct = systemHealthPct;
    return info;
}

}  // namespace

TEST(BatteryHealthModel, RingLabelRoundsWhileStatusWordDoesNot) {
    const BatteryInfo worn = battery(5000, 4475);
    const double h = model::healthPercent(worn);
    EXPECT_DOUBLE_EQ(h, 89.5);
    EXPECT_EQ(model::ringLabel(h), "90");
    EXPECT_EQ(model::statusText(h), "一般");
    EXPECT_EQ(model::statusColorHex(worn.healthStatus()), "#ffd60a");
    EXPECT_DOUBLE_EQ(model::ringFraction(h), 0.895);

    const BatteryInfo noDesign = battery(0, 4000);
    EXPECT_EQ(model::ringLabel(model::healthPercent(noDesign)), "0");
    EXPECT_EQ(model::statusText(model::healthPercent(noDesign)), "建议更换");
    EXPECT_EQ(model::statusColorHex(noDesign.healthStatus()), "#ff453a");
    EXPECT_DOUBLE_EQ(model::ringFraction(model::healthPercent(noDesign)), 0);

    const BatteryInfo fresh = battery(5000, 5300);
    EXPECT_EQ(model::ringLabel(model::healthPercent(fresh)), "100");
    EXPECT_EQ(model::statusText(model::healthPercent(fresh)), "良好");
    EXPECT_EQ(model::statusColorHex(fresh.healthStatus()), "#30d158");

    // A system figure above 100 is shown as is but fills the ring only once.
    const BatteryInfo reported = battery(5000, 3000, 103);
    EXPECT_EQ(model::ringLabel(model::healthPercent(reported)), "103");
    EXPECT_DOUBLE_EQ(model::ringFraction(model::healthPercent(reported)), 1.0);
}

TEST(BatteryHealthModel, StatusWordThresholds) {
    EXPECT_EQ(model::statusText(90.0), "良好");
    EXPECT_EQ(model::statusText(89.99), "一般");
    EXPECT_EQ(model::statusText(80.0), "一般");
    EXPECT_EQ(model::statusText(79.99), "建议更换");
}

TEST(BatteryHealthModel, TemperatureTurnsYellowAt36AndRedAt41) {
    EXPECT_EQ(model::temperatureColorHex(35.9), std::nullopt);
    EXPECT_EQ(model::temperatureColorHex(36.0), "#ffd60a");
    EXPECT_EQ(model::temperatureColorHex(40.99), "#ffd60a");
    EXPECT_EQ(model::temperatureColorHex(41.0), "#ff453a");
}

TEST(BatteryHealthModel, MetricRowsInOrderWithUnits) {
    BatteryInfo info = battery(4382, 3925.6);
    info.cycleCount = 312;
    info.temperatureC = 36.04;
    const auto rows = model::metricRows(info);
    EXPECT_EQ(rows[0], (model::MetricRow{"循环次数", "312 次", std::nullopt}));
    EXPECT_EQ(rows[1], (model::MetricRow{"设计容量", "4382 mAh", std::nullopt}));
    EXPECT_EQ(rows[2], (model::MetricRow{"当前最大", "3926 mAh", std::nullopt}));
    EXPECT_EQ(rows[3], (model::MetricRow{"温度", "36.0 ℃", "#ffd60a"}));
}

TEST(BatteryHealthModel, UnknownFiguresReadUnknownNotZero) {
    BatteryInfo noCapacities;
    const std::vector<std::string> shown{model::ringLabel(noCapacities), std::string(model::statusText(noCapacities)),
                                         std::string(model::statusColorHex(noCapacities))};
    EXPECT_EQ(shown, (std::vector<std::string>{"—", "未知", "#8e8e93"}));
    const auto rows = model::metricRows(noCapacities);
    EXPECT_EQ(rows[1].value, "未知");
    EXPECT_EQ(rows[2].value, "未知");
    EXPECT_EQ(rows[3], (model::MetricRow{"温度", "未知", std::nullopt}));

    // A known figure keeps its own words.
    EXPECT_EQ(model::statusText(battery(5000, 4475)), "一般");
    EXPECT_EQ(model::ringLabel(battery(5000, 4475)), "90");
}

TEST(BatteryHealthModel, EachOfSeveralBatteriesGetsItsOwnRow) {
    BatteryInfo two = battery(7000, 6417);
    EXPECT_TRUE(model::batteryRows(two).empty());
    two.batteries = {{"BAT0", 73, 5000, 4500, 112, 0}, {"BAT1", 87, 0, 1917, 300, 0}};
    EXPECT_EQ(model::batteryRows(two),
              (std::vector<model::MetricRow>{{"BAT0", "90% · 112 次", "#30d158"}, {"BAT1", "未知 · 300 次", std::nullopt}}));
}
