#include <gtest/gtest.h>

#include <cmath>

#include "AppEnergyMeter.h"
#include "AppEnergyRanking.h"

namespace joulemap {
namespace {

JoulemapData flow(double firefoxW, double otherAppsW, double displayW, double cpuW, double batteryW) {
    JoulemapData data;
    data.destinations = {{"firefox", "Firefox", "", "", PowerGroup::app, firefoxW},
                         {"other", "其他应用", "", "", PowerGroup::app, otherAppsW},
                         {"display", "显示屏", "", "", PowerGroup::hardware, displayW},
                         {"cpu", "CPU/系统", "", "", PowerGroup::hardware, cpuW},
                         {"battery", "电池充电", "", "", PowerGroup::battery, batteryW}};
    return data;
}

TEST(AppEnergyMeterTest, IntegratesEachBandAndTheHardwareAsTheSystemOverTime) {
    AppEnergyMeter meter;
    meter.add(flow(10, 2, 3, 4, 20), false, 100);  // only starts the clock
    EXPECT_TRUE(meter.takePending().empty());

    meter.add(flow(10, 2, 3, 4, 20), false, 136);  // 36 s = 0.01 h
    meter.add(flow(10, 2, 3, 4, 20), true, 172);
    meter.add(flow(10, 2, 3, 4, 20), true, 172 + AppEnergyMeter::kMaxGapSeconds + 1);  // asleep: skipped
    meter.add(flow(10, 2, 3, 4, 20), true, 100);  // a clock going back adds nothing
    std::vector<AppEnergy> pending = meter.takePending();
    for (AppEnergy& energy : pending)
        energy.wh = std::round(energy.wh * 1e9) / 1e9;  // 36 s / 3600 is inexact
    // The battery's charging is not consumption; the hardware is one "系统" entry.
    const std::vector<AppEnergy> expected{{"Firefox", false, 0.1}, {"Firefox", true, 0.1},    {"系统", false, 0.07},
                                          {"系统", true, 0.07},    {"其他应用", false, 0.02}, {"其他应用", true, 0.02}};
    EXPECT_EQ(pending, expected);
    EXPECT_TRUE(meter.takePending().empty());
    EXPECT_NEAR(meter.totalsWh().at("Firefox"), 0.2, 1e-12);  // the totals outlive what was written

    meter.add(flow(-5, std::nan(""), 3, 4, 0), false, 136);
    meter.add(flow(-5, std::nan(""), 3, 4, 0), false, 172);
    const std::vector<AppEnergy> odd = meter.takePending();
    ASSERT_EQ(odd.size(), 1u);  // no energy from a negative or unknown band
    EXPECT_EQ(odd[0].app, kSystemEnergyName);
}

TEST(AppEnergyRankingTest, SplitsByPowerStateRanksAndFoldsTheTailIntoOther) {
    std::vector<AppEnergy> totals{{"系统", true, 6}, {"Firefox", true, 3}, {"Firefox", false, 9}, {"Zoom", true, 1}};
    for (int i = 0; i < 3; ++i) totals.push_back({"app" + std::to_string(i), true, 0.1});

    const std::vector<AppEnergySection> sections = appEnergySections(totals, 3);
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].heading, kOnBatteryHeading.str());
    EXPECT_EQ(sections[0].totalText, "共 10.3 Wh");
    std::vector<std::string> battery;
    for (const AppEnergyRow& row : sections[0].rows)
        battery.push_back(row.name + " " + row.whText + " " + row.shareText);
    EXPECT_EQ(battery,
              (std::vector<std::string>{"系统 6.0 Wh 58%", "Firefox 3.0 Wh 29%", "Zoom 1.0 Wh 10%", "其他 0.3 Wh 3%"}));
    ASSERT_EQ(sections[1].rows.size(), 1u);
    EXPECT_EQ(sections[1].rows[0].shareText, "100%");

    // One entry past the limit keeps its name; a small figure keeps two decimals.
    const auto exact = appEnergySections({{"a", false, 2}, {"b", false, 0.04}}, 1);
    ASSERT_EQ(exact[1].rows.size(), 2u);
    EXPECT_EQ(exact[1].rows[1].name, "b");
    EXPECT_EQ(exact[1].rows[1].whText, "0.04 Wh");
    EXPECT_TRUE(exact[0].rows.empty());
    EXPECT_EQ(exact[0].totalText, "共 0.0 Wh");
}

}  // namespace
}  // namespace joulemap
