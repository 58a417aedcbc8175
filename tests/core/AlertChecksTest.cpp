#include <gtest/gtest.h>

#include "DrainTracker.h"
#include "HighTempAlert.h"

namespace joulemap {
namespace {

// On battery, drawing the given power according to the telemetry.
BatteryInfo onBattery(double systemWatts) {
    BatteryInfo battery;
    battery.systemPowerInMw = systemWatts * 1000;
    return battery;
}

using Tracked = std::optional<std::pair<std::string, int64_t>>;

TEST(HighTempAlertTest, AlertsFromFortyDegreesWithWholeDegreesUnlessSwitchedOff) {
    BatteryInfo battery;
    battery.temperatureC = 39.9;
    EXPECT_FALSE(highTempAlert(battery, true));

    battery.temperatureC = 40.0;
    EXPECT_EQ(highTempAlert(battery, true), (AlertMessage{"highTemp", "⚠️ 电池温度过高",
                                                           "电池温度 40℃，高温会加速电池老化。建议暂停高负载任务让其降温。"}));
    battery.temperatureC = 41.9;
    ASSERT_TRUE(highTempAlert(battery, true));
    EXPECT_EQ(highTempAlert(battery, true)->body, "电池温度 41℃，高温会加速电池老化。建议暂停高负载任务让其降温。");
    EXPECT_FALSE(highTempAlert(battery, false));
    // A sensor reporting the impossible raises nothing.
    for (const double broken : {120.5, 922337203685477632.0, 1e300}) {
        battery.temperatureC = broken;
        EXPECT_FALSE(highTempAlert(battery, true)) << broken;
    }
    battery.temperatureC = 120.0;
    EXPECT_TRUE(highTempAlert(battery, true));
}

TEST(DrainTrackerTest, ThirdRefreshWithSameTopAlertsOnlyAboveTenWatts) {
    DrainTracker tracker;
    const std::vector<AppShare> shares{{"Browser", std::nullopt, 0.876, 20.7}, {"Editor", std::nullopt, 0.1, 2.4}};

    // At exactly 10 W the count keeps growing without an alert.
    for (int refresh = 0; refresh < 3; ++refresh) {
        EXPECT_FALSE(tracker.check(onBattery(10.0), shares, true));
    }
    EXPECT_EQ(tracker.state(), (Tracked{{"Browser", 3}}));

    // The first heavier refresh alerts and starts over.
    EXPECT_EQ(tracker.check(onBattery(15.0), shares, true),
              (AlertMessage{"highDrain", "⚡ 检测到异常耗电",
                            "Browser 持续高负载用电（CPU 占用 20%），可能影响续航。如不需要建议关闭或检查。"}));
    EXPECT_EQ(tracker.state(), Tracked{});
    EXPECT_FALSE(tracker.check(onBattery(15.0), shares, true));
    EXPECT_FALSE(tracker.check(onBattery(15.0), shares, true));
    EXPECT_TRUE(tracker.check(onBattery(15.0), shares, true));
}

TEST(DrainTrackerTest, CandidatesAreBusyApplicationsAboveHalfWithTiesToTheFirst) {
    const BatteryInfo battery = onBattery(20.0);
    const std::vector<std::pair<std::vector<AppShare>, Tracked>> cases{
        {{{"Half", std::nullopt, 0.5, 50}, {"__system__", std::nullopt, 0.95, 190}}, Tracked{}},
        {{{"__system__", std::nullopt, 0.95, 190}, {"A", std::nullopt, 0.7, 40}, {"B", std::nullopt, 0.7, 40}},
         Tracked{{"A", 1}}},
        {{{"A", std::nullopt, 0.6, 30}, {"B", std::nullopt, 0.8, 40}}, Tracked{{"B", 1}}},
        // Most of an idle machine's little work is no drain, and the monitor never accuses itself.
        {{{"Idle", std::nullopt, 0.9, 9.9}}, Tracked{}},
        {{{"Idle", std::nullopt, 0.9, 10.0}}, Tracked{{"Idle", 1}}},
        {{{kSelfAppName, std::nullopt, 0.94, 60}}, Tracked{}},
    };
    for (const auto& [shares, tracked] : cases) {
        DrainTracker tracker;
        tracker.check(battery, shares, true);
        EXPECT_EQ(tracker.state(), tracked) << shares.front().name;
    }
}

TEST(DrainTrackerTest, ExternalPowerSwitchOrNoCandidateClears) {
    const std::vector<AppShare> busy{{"A", std::nullopt, 0.9, 80}};
    BatteryInfo plugged = onBattery(20.0);
    plugged.isExternalConnected = true;

    for (const auto& [battery, shares, enabled] :
         {std::tuple{plugged, busy, true}, std::tuple{onBattery(20.0), busy, false},
          std::tuple{onBattery(20.0), std::vector<AppShare>{}, true}}) {
        DrainTracker tracker;
        tracker.check(onBattery(20.0), busy, true);
        tracker.check(onBattery(20.0), busy, true);
        EXPECT_FALSE(tracker.check(battery, shares, enabled));
        EXPECT_EQ(tracker.state(), Tracked{});
        // Counting starts again from one.
        tracker.check(onBattery(20.0), busy, true);
        EXPECT_EQ(tracker.state(), (Tracked{{"A", 1}}));
    }
}

}  // namespace
}  // namespace joulemap
