#include "BatteryHealthModel.h"

#include <gtest/gtest.h>

using namespace joulemap;
namespace model = joulemap::BatteryHealthModel;

namespace {

BatteryInfo battery(double designMah, double maxMah, int64_t systemHealthPct = 0) {
    return {.designCapacityMah = designMah, .maxCapacityMah = maxMah, .systemHealthPct = systemHealthPct};
}

}  // namespace

TEST(BatteryHealthModel, RingLabelRoundsWhileStatusWordDoesNot) {
    const struct {
        BatteryInfo info;
        const char* label;
        const char* status;
        const char* color;
        double fraction;
    } cases[] = {
        {battery(5000, 4475), "90", "一般", "#ffd60a", 0.895},
        {battery(0, 4000), "0", "建议更换", "#ff453a", 0},
        {battery(5000, 5300), "100", "良好", "#30d158", 1},
        {battery(5000, 3000, 103), "103", "良好", "#30d158", 1},  // shown as is, but fills the ring only once
    };
    for (const auto& c : cases) {
        const double h = model::healthPercent(c.info);
        EXPECT_EQ(model::ringLabel(h), c.label);
        EXPECT_EQ(model::statusText(h), c.status) << c.label;
        EXPECT_EQ(model::statusColorHex(c.info.healthStatus()), c.color) << c.label;
        EXPECT_DOUBLE_EQ(model::ringFraction(h), c.fraction) << c.label;
    }
    EXPECT_DOUBLE_EQ(model::healthPercent(battery(5000, 4475)), 89.5);
}

TEST(BatteryHealthModel, StatusWordAndTemperatureColourThresholds) {
    const std::pair<double, const char*> words[] = {
        {90.0, "良好"}, {89.99, "一般"}, {80.0, "一般"}, {79.99, "建议更换"}};
    for (const auto& [health, word] : words) EXPECT_EQ(model::statusText(health), word) << health;
    const std::pair<double, std::optional<std::string_view>> colours[] = {
        {35.9, std::nullopt}, {36.0, "#ffd60a"}, {40.99, "#ffd60a"}, {41.0, "#ff453a"}};
    for (const auto& [celsius, colour] : colours) EXPECT_EQ(model::temperatureColorHex(celsius), colour) << celsius;
}

TEST(BatteryHealthModel, MetricRowsInOrderWithUnits) {
    const BatteryInfo info{
        .cycleCount = 312, .designCapacityMah = 4382, .maxCapacityMah = 3925.6, .temperatureC = 36.04};
    EXPECT_EQ(model::metricRows(info), (std::array<model::MetricRow, 4>{{{"循环次数", "312 次", std::nullopt},
                                                                         {"设计容量", "4382 mAh", std::nullopt},
                                                                         {"当前最大", "3926 mAh", std::nullopt},
                                                                         {"温度", "36.0 ℃", "#ffd60a"}}}));
}

TEST(BatteryHealthModel, UnknownFiguresReadUnknownNotZero) {
    const auto words = [](const BatteryInfo& b) {
        return std::vector<std::string>{model::ringLabel(b), std::string(model::statusText(b)),
                                        std::string(model::statusColorHex(b))};
    };
    const BatteryInfo noCapacities;
    EXPECT_EQ(words(noCapacities), (std::vector<std::string>{"—", "未知", "#8e8e93"}));
    EXPECT_EQ(words(battery(5000, 4475)), (std::vector<std::string>{"90", "一般", "#ffd60a"}));
    // No cycle count either, not 0 cycles.
    EXPECT_EQ(model::metricRows(noCapacities),
              (std::array<model::MetricRow, 4>{{{"循环次数", "未知", std::nullopt},
                                                {"设计容量", "未知", std::nullopt},
                                                {"当前最大", "未知", std::nullopt},
                                                {"温度", "未知", std::nullopt}}}));
}

TEST(BatteryHealthModel, EachOfSeveralBatteriesGetsItsOwnRow) {
    BatteryInfo two = battery(7000, 6417);
    EXPECT_TRUE(model::batteryRows(two).empty());
    two.batteries = {{"BAT0", 73, 5000, 4500, 112, 0}, {"BAT1", 87, 0, 1917, 300, 0}};
    EXPECT_EQ(model::batteryRows(two), (std::vector<model::MetricRow>{{"BAT0", "90% · 112 次", "#30d158"},
                                                                      {"BAT1", "未知 · 300 次", std::nullopt}}));
}
