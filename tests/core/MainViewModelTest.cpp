#include "MainViewModel.h"

#include <gtest/gtest.h>

using namespace joulemap;

namespace {

using MainViewModel::CardHistory;
using MainViewModel::HighlightState;

PowerDestination destination(std::string id, PowerGroup group, double power) {
    return {id, id + "-name", "★", "#112233", group, power};
}

JoulemapData flowOf(std::vector<PowerDestination> destinations) {
    return {"电池", "放电中", "#ffd60a", "🔋", std::move(destinations)};
}

BatteryInfo dischargingAt(double systemW, double batteryNetW) {
    return {
        .currentCapacityPct = 57, .systemPowerInMw = systemW * 1000, .batteryPowerMw = batteryNetW * 1000};
}

}  // namespace

TEST(MainViewModelTest, CardsFollowTheMachineAndFormatTheirFigures) {
    const JoulemapData flow =
        flowOf({destination("cpu", PowerGroup::hardware, 6.25), destination("chrome", PowerGroup::app, 4.0)});

    using Card = MainViewModel::StatCardContent;
    const Card input{"🔋 入口功率", "10.2", "W", "#ffd60a", false, "放电中", CardHistory::input, {}};
    const Card system{"⚙️ 系统消耗", "10.2", "W", "#ff9f0a", true, "占入口 100%", CardHistory::system, {}};
    // The input is the destinations' sum, not the battery's input reading; on battery, or on a
    // desktop's estimate, the machine consumes all of it.
    EXPECT_EQ(MainViewModel::statCards(flow, BatteryInfo::unknown(), false, ""), (std::vector<Card>{input, system}));
    // A tiny discharge still reads as supplying, with the real minus sign, in red.
    EXPECT_EQ(
        MainViewModel::statCards(flow, dischargingAt(8.2, -0.04), true, "2小时5分"),
        (std::vector<Card>{input,
                           {"🔋 电池电量", "57", "%", "#64d2ff", false, "2小时5分", CardHistory::batteryPercent, 100.0},
                           system,
                           {"🔋 电池净功率", "\u22120.0", "W", "#ff453a", false, "电池在供电", CardHistory::net, {}}}));

    // Charging: what goes into the battery is not consumed by the machine.
    const JoulemapData charging =
        flowOf({destination("cpu", PowerGroup::hardware, 6.0), destination("chrome", PowerGroup::app, 2.2),
                destination("charge", PowerGroup::battery, 2.0)});
    // 80.39 % cut toward zero.
    EXPECT_EQ(
        MainViewModel::statCards(charging, dischargingAt(30, 2.0), true, "")[2],
        (Card{"⚙️ 系统消耗", "8.2", "W", "#ff9f0a", true, "占入口 80%", CardHistory::system, {}}));

    EXPECT_EQ(MainViewModel::statCards(flow, dischargingAt(8.2, 0), true, "")[3],
              (Card{"🔋 电池净功率", "+0.0", "W", "#30d158", false, "电池在储能", CardHistory::net, {}}));

    // Held at its limit on the adapter, the battery says so instead.
    const BatteryInfo held{
        .isExternalConnected = true, .currentCapacityPct = 80, .chargeEndThresholdPct = 80};
    EXPECT_EQ(MainViewModel::statCards(flow, held, true, "")[3].subtitle, "已达充电上限 80%");
}

TEST(MainViewModelTest, SystemShareIsHeldWithinItsRange) {
    EXPECT_EQ(MainViewModel::systemSharePercent(50, 2), 999);
    EXPECT_EQ(MainViewModel::systemSharePercent(5, 0), 0);
    EXPECT_EQ(MainViewModel::systemSharePercent(5, -3), 0);
    EXPECT_EQ(MainViewModel::systemSharePercent(1.999, 2), 99);

    const auto cards = MainViewModel::statCards(flowOf({}), dischargingAt(7, 0), true, "");
    EXPECT_EQ(cards[2].subtitle, "占入口 0%");  // no flow yet: nothing to take a share of
}

TEST(MainViewModelTest, TooltipDescribesTheHighlightedDestinationWhileItIsInTheFlow) {
    const JoulemapData flow =
        flowOf({destination("cpu", PowerGroup::hardware, 7.0), destination("chrome", PowerGroup::app, 1.0)});

    // 12.5 % rounds away from zero.
    EXPECT_EQ(
        MainViewModel::tooltip(flow, std::string("chrome")),
        (MainViewModel::TooltipContent{"★", "chrome-name", "1.0", "#112233", "占总功率 13%", "🟦 应用"}));
    EXPECT_EQ(MainViewModel::tooltip(flow, std::string("cpu"))->groupText, "⚙️ 硬件");

    EXPECT_FALSE(MainViewModel::tooltip(flow, std::nullopt).has_value());
    EXPECT_FALSE(MainViewModel::tooltip(flow, std::string("vscode")).has_value());

    const JoulemapData idle = flowOf({destination("chrome", PowerGroup::app, 0)});
    EXPECT_EQ(MainViewModel::tooltip(idle, std::string("chrome"))->shareText, "占总功率 0%");
}

TEST(MainViewModelTest, HighlightFollowsTheLastPointerEvent) {
    HighlightState state;
    state.onListHoverGroup(PowerGroup::app);
    state.onSankeyHover(std::string("cpu"));
    EXPECT_EQ(state, (HighlightState{std::string("cpu"), std::nullopt}));

    state.onListHoverGroup(PowerGroup::battery);
    EXPECT_EQ(state, (HighlightState{std::nullopt, PowerGroup::battery}));

    // Leaving a group header releases the group; leaving the diagram releases the destination.
    state.onListHoverGroup(std::nullopt);
    EXPECT_EQ(state, HighlightState{});
    state.onListHoverItem(std::string("gpu"));
    state.onSankeyHover(std::nullopt);
    EXPECT_EQ(state, HighlightState{});

    // A second click on the same destination releases it; the next move emphasises again.
    state.onSankeySelect(std::string("cpu"));
    EXPECT_EQ(state.id, "cpu");
    state.onSankeySelect(std::string("cpu"));
    EXPECT_FALSE(state.id.has_value());
    state.onSankeyHover(std::string("cpu"));
    EXPECT_EQ(state.id, "cpu");
    state.onSankeySelect(std::nullopt);
    EXPECT_FALSE(state.id.has_value());

    // Hovering nothing in the diagram keeps a group emphasised from the list.
    state.onListHoverGroup(PowerGroup::hardware);
    state.onSankeyHover(std::nullopt);
    EXPECT_EQ(state.group, PowerGroup::hardware);
}
