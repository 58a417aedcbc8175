#include "BatteryHealthModel.h"
#include "ChargeLimitModel.h"
#include "MenuBarPanelModel.h"
#include "MenuBarTitle.h"

#include <gtest/gtest.h>

using namespace joulemap;

namespace {

namespace limits = ChargeLimitModel;
using Behaviour = BatteryInfo::ChargeBehaviour;

BatteryInfo plugged(int64_t pct, int endPct, double batteryW, bool charging = false,
                    Behaviour behaviour = Behaviour::none) {
    return {.isCharging = charging,
            .isExternalConnected = true,
            .currentCapacityPct = pct,
            .batteryPowerMw = batteryW * 1000,
            .chargeEndThresholdPct = endPct,
            .chargeBehaviour = behaviour};
}

}  // namespace

TEST(ChargeLimitModel, HeldBatteryIsNeitherChargingNorAFaultInPanelTitleAndHealthCard) {
    struct Case {
        BatteryInfo battery;
        std::string pill, title;
        std::optional<std::string> healthRow;
    };
    const std::vector<Case> cases{
        {plugged(80, 80, 0), "已达充电上限 80%", "80%", "已达充电上限 80%"},
        {plugged(79, 80, 0.2, true), "已达充电上限 80%", "79%", "已达充电上限 80%"},
        {plugged(75, 80, 15, true), "充电中", "⚡75%", "充电上限"},   // on its way there
        {plugged(80, 80, -6), "充电器功率不足", "80%", "充电上限"},  // at the limit, yet drained
        {plugged(100, 100, 0), "已接电源", "100%", std::nullopt},
        {plugged(60, 0, 0, false, Behaviour::inhibitCharge), "已暂停充电", "60%", "已暂停充电"},
        {plugged(60, 0, -9, false, Behaviour::forceDischarge), "按设置放电中", "60%", "按设置放电中"}};
    for (const Case& c : cases) {
        EXPECT_EQ(MenuBarPanelModel::statusPill(c.battery).label, c.pill) << c.pill;
        EXPECT_EQ(menuBarTitle(c.battery, true), c.title) << c.pill;
        const auto row = BatteryHealthModel::chargeLimitRow(c.battery);
        EXPECT_EQ(row ? std::optional(row->label) : std::nullopt, c.healthRow) << c.pill;
    }
    EXPECT_EQ(BatteryHealthModel::chargeLimitRow(plugged(75, 80, 15, true))->value, "80%");
}

TEST(ChargeLimitModel, StatusSaysWhatTheKernelReportsAndWhyNothingChanged) {
    using Issue = ChargeLimitIssue;
    const std::vector<std::tuple<ChargeLimitState, std::optional<int>, std::string>> cases{
        {{80, 75, true, Issue::none}, 80, "内核报告 80%"},
        {{80, 0, true, Issue::none}, 85, "驱动把 85% 调整为 80%"},
        {{100, 0, true, Issue::none}, 100, "未限制（内核报告 100%）"},
        {{0, 0, true, Issue::writeRefused}, 55, "驱动拒绝了 55%，内核报告 未知"},
        {{90, 0, false, Issue::notWritable},
         std::nullopt,
         "当前用户无权修改充电上限，内核报告 90%。授予写入权限的方法见 docs/charge-limit.md"},
        {{}, std::nullopt, "这台电脑的电池驱动不提供充电上限"}};
    for (const auto& [state, requested, text] : cases) EXPECT_EQ(limits::statusText(state, requested), text);
}

TEST(ChargeLimitModel, PickerSegmentsAndTheirLimits) {
    using Choice = limits::Choice;
    const std::vector<std::pair<int, Choice>> shown{{0, Choice::off},    {100, Choice::off},   {80, Choice::pct80},
                                                    {90, Choice::pct90}, {85, Choice::custom}, {60, Choice::custom}};
    for (const auto& [pct, choice] : shown) EXPECT_EQ(limits::choiceFor(pct), choice) << pct;
    EXPECT_EQ(limits::pctFor(Choice::off, 70), 100);
    EXPECT_EQ(limits::pctFor(Choice::pct90, 70), 90);
    EXPECT_EQ(limits::pctFor(Choice::custom, 70), 70);
    EXPECT_EQ(limits::pctFor(Choice::custom, 20), 50);
}
