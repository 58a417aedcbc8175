#include "MenuBarPanelModel.h"
#include "MenuBarTitle.h"

#include <gtest/gtest.h>

using namespace joulemap;
namespace panel = joulemap::MenuBarPanelModel;

namespace {

PowerDestination destination(const std::string& name, double watts) {
    return {.id = name, .name = name, .color = "#112233", .power = watts};
}

}  // namespace

TEST(MenuBarTitle, ChargeWithBoltWhileChargingAndBoltAloneWithoutBattery) {
    // A desktop shows only the bolt whatever its fields say; a charge the driver cannot tell is unknown.
    const struct {
        bool hasBattery;
        bool charging;
        std::optional<int64_t> percent;
        const char* title;
    } cases[] = {{true, false, 85, "85%"}, {true, true, 85, "⚡85%"},         {false, false, 0, "⚡"},
                 {false, true, 40, "⚡"},   {true, false, std::nullopt, "—"}, {true, true, std::nullopt, "⚡—"}};
    for (const auto& c : cases) {
        EXPECT_EQ(menuBarTitle({.isCharging = c.charging, .currentCapacityPct = c.percent}, c.hasBattery),
                  c.title);
    }
}

TEST(MenuBarPanelModel, PillAndBadgeFollowTheBatteryState) {
    BatteryInfo b{.isExternalConnected = true, .currentCapacityPct = 100};
    EXPECT_EQ(panel::statusPill(b), (panel::StatusPill{"#64d2ff", "powerplug.fill", "已接电源"}));
    b.isCharging = true;
    EXPECT_EQ(panel::statusPill(b).label, "充电中");
    EXPECT_EQ(panel::statusPill(BatteryInfo{}).label, "放电中");
    // Plugged in and discharging 10 W: the adapter falls short, and the badge beside says by how much.
    const BatteryInfo weak{.isExternalConnected = true, .batteryPowerMw = -10'000};
    EXPECT_EQ(panel::statusPill(weak), (panel::StatusPill{"#ff9f0a", "powerplug.fill", "充电器功率不足"}));
    EXPECT_EQ(panel::netBadge(weak).magnitude, "10.0");

    // Below zero is red even when the figure rounds to nothing.
    const std::pair<double, panel::NetBadge> badges[] = {{0, {"+", "0.0", "#30d158", "电池储能"}},
                                                         {12345, {"+", "12.3", "#30d158", "电池储能"}},
                                                         {-8760, {"−", "8.8", "#ff453a", "电池放电"}},
                                                         {-40, {"−", "0.0", "#ff453a", "电池放电"}}};
    for (const auto& [milliwatts, badge] : badges) {
        b.batteryPowerMw = milliwatts;
        EXPECT_EQ(panel::netBadge(b), badge) << milliwatts;
    }
}

TEST(MenuBarPanelModel, FlowListAlwaysHasTenRowsLargestFirst) {
    JoulemapData flow;
    for (int i = 0; i < 11; ++i) flow.destinations.push_back(destination("d" + std::to_string(i), i));
    const auto eleven = panel::flowRows(flow);
    EXPECT_EQ(eleven.front().name, "d10");
    EXPECT_EQ(eleven.back().name, "d1");  // the smallest (d0) is left out
    EXPECT_DOUBLE_EQ(eleven.front().fraction, 10.0 / 55.0);
    EXPECT_EQ(eleven.front().powerText, "10.0W");

    flow.destinations = {destination("a", 2), destination("b", 5), destination("c", 2)};
    const auto three = panel::flowRows(flow);
    EXPECT_EQ(three[0].name + three[1].name + three[2].name, "bac");  // equal powers keep their order
    for (std::size_t i = 3; i < three.size(); ++i) EXPECT_TRUE(three[i].placeholder && three[i].name.empty()) << i;

    flow.destinations = {destination("idle", 0)};
    EXPECT_EQ(panel::flowRows(flow)[0].fraction, 0);
}

TEST(MenuBarPanelModel, HealthFigureRoundsBeforeChoosingItsColour) {
    const struct {
        int64_t systemPct;
        double maxMah;
        double designMah;
        const char* value;
        const char* color;
    } cases[] = {
        {0, 4500, 5000, "90%", "#30d158"}, {0, 3975, 5000, "80%", "#ffd60a"},  // 79.5 reads 80
        {0, 3900, 5000, "78%", "#ff453a"}, {87, 100, 5000, "87%", "#ffd60a"},
        {0, 4000, 0, "0%", "#ff453a"},     {0, 6000, 5000, "100%", "#30d158"},
    };
    for (const auto& c : cases) {
        const auto figure = panel::healthFigure(
            {.designCapacityMah = c.designMah, .maxCapacityMah = c.maxMah, .systemHealthPct = c.systemPct});
        EXPECT_EQ(figure.value, c.value);
        EXPECT_EQ(figure.valueColorHex, std::optional<std::string_view>(c.color)) << c.value;
    }
}

TEST(MenuBarPanelModel, SectionsAppearByState) {
    BatteryInfo b{.cycleCount = 287, .currentCapacityPct = 64, .temperatureC = 33.6};
    const std::vector<BatteryAdvisor::Advice> advices{{"🔥", "hot", BatteryAdvisor::Advice::Severity::critical},
                                                      {"ℹ️", "info", BatteryAdvisor::Advice::Severity::info}};

    const auto laptop = panel::panel(b, JoulemapData{}, true, advices);
    EXPECT_EQ(laptop.percent, "64");
    EXPECT_FALSE(laptop.showUsbWarning);
    ASSERT_TRUE(laptop.health);
    EXPECT_EQ((*laptop.health)[1].value, "287");
    EXPECT_EQ((*laptop.health)[2].value, "34°C");
    EXPECT_EQ(laptop.advice,
              (std::vector<panel::AdviceRow>{{"🔥", "hot", "#ff453a"}, {"ℹ️", "info", std::nullopt}}));
    b.cycleCount = 0;  // the driver keeps no count
    b.temperatureC = 0;
    const auto unread = panel::panel(b, JoulemapData{}, true, advices);
    EXPECT_EQ((*unread.health)[1].value, "—");
    EXPECT_EQ((*unread.health)[2].value, "—");

    b.isProvidingPower = true;
    const auto desktop = panel::panel(b, JoulemapData{}, false, {});
    EXPECT_TRUE(desktop.showUsbWarning);
    EXPECT_EQ(desktop.percent, "—") << "a desktop has no charge to show, not 0";
    EXPECT_EQ(desktop.pill.label, "已接电源");
    EXPECT_EQ(desktop.badge.magnitude, "—");
    EXPECT_FALSE(desktop.health);
    EXPECT_TRUE(desktop.advice.empty());
}
