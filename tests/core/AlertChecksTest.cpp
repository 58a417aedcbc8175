#include <gtest/gtest.h>

#include "ChargeLevelAlert.h"
#include "DrainTracker.h"
#include "HighTempAlert.h"

using namespace joulemap;

namespace {

// On battery, drawing the given power according to the telemetry.
BatteryInfo onBattery(double systemWatts) { return {.systemPowerInMw = systemWatts * 1000}; }

using Tracked = std::optional<std::pair<std::string, int64_t>>;

}  // namespace

TEST(HighTempAlertTest, AlertsFromFortyDegreesWithWholeDegreesUnlessSwitchedOff) {
    BatteryInfo battery{.temperatureC = 40.0};
    EXPECT_EQ(highTempAlert(battery, true),
              (AlertMessage{"highTemp", "⚠️ 电池温度过高",
                            "电池温度 40℃，高温会加速电池老化。建议暂停高负载任务让其降温。"}));
    EXPECT_FALSE(highTempAlert(battery, false));
    battery.temperatureC = 41.9;
    EXPECT_EQ(highTempAlert(battery, true)->body, "电池温度 41℃，高温会加速电池老化。建议暂停高负载任务让其降温。");
    // Below the threshold nothing, nor from a sensor reporting the impossible.
    for (const double quiet : {39.9, 120.5, 922337203685477632.0, 1e300}) {
        battery.temperatureC = quiet;
        EXPECT_FALSE(highTempAlert(battery, true)) << quiet;
    }
    battery.temperatureC = 120.0;
    EXPECT_TRUE(highTempAlert(battery, true));
}

TEST(DrainTrackerTest, ThirdRefreshWithSameTopAlertsOnlyAboveTenWatts) {
    DrainTracker tracker;
    const std::vector<AppShare> shares{{"Browser", std::nullopt, 0.876, 20.7}, {"Editor", std::nullopt, 0.1, 2.4}};
    // At exactly 10 W the count keeps growing without an alert.
    for (int refresh = 0; refresh < 3; ++refresh) EXPECT_FALSE(tracker.check(onBattery(10.0), shares, true));
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
    const std::vector<std::pair<std::vector<AppShare>, Tracked>> cases{
        {{{"Half", std::nullopt, 0.5, 50}, {"__system__", std::nullopt, 0.95, 190}}, Tracked{}},
        {{{"__system__", std::nullopt, 0.95, 190}, {"A", std::nullopt, 0.7, 40}, {"B", std::nullopt, 0.7, 40}},
         Tracked{{"A", 1}}},
        {{{"A", std::nullopt, 0.6, 30}, {"B", std::nullopt, 0.8, 40}}, Tracked{{"B", 1}}},
        // Most of an idle machine's little work is no drain, and the monitor never accuses itself.
        {{{"Idle", std::nullopt, 0.9, 9.9}}, Tracked{}},
        {{{"Idle", std::nullopt, 0.9, 10.0}}, Tracked{{"Idle", 1}}},
        {{{kSelfAppName, std::nullopt, 0.94, 60}}, Tracked{}}};
    for (const auto& [shares, tracked] : cases) {
        DrainTracker tracker;
        tracker.check(onBattery(20.0), shares, true);
        EXPECT_EQ(tracker.state(), tracked) << shares.front().name;
    }
}

TEST(DrainTrackerTest, ExternalPowerSwitchOrNoCandidateClears) {
    const std::vector<AppShare> busy{{"A", std::nullopt, 0.9, 80}};
    const BatteryInfo plugged{.isExternalConnected = true, .systemPowerInMw = 20'000};
    for (const auto& [battery, shares, enabled] :
         {std::tuple{plugged, busy, true}, std::tuple{onBattery(20.0), busy, false},
          std::tuple{onBattery(20.0), std::vector<AppShare>{}, true}}) {
        DrainTracker tracker;
        tracker.check(onBattery(20.0), busy, true);
        tracker.check(onBattery(20.0), busy, true);
        EXPECT_FALSE(tracker.check(battery, shares, enabled));
        EXPECT_EQ(tracker.state(), Tracked{});
        tracker.check(onBattery(20.0), busy, true);
        EXPECT_EQ(tracker.state(), (Tracked{{"A", 1}}));  // counting starts again from one
    }
}

TEST(ChargeLevelAlertTest, UpperOnTheAdapterUnlessHeldLowerOnlyWhileDischarging) {
    using Behaviour = BatteryInfo::ChargeBehaviour;
    const struct {
        const char* what;
        bool plugged, charging;
        int64_t pct;
        int endPct;
        Behaviour behaviour;
        double batteryW;
        bool high, low;  // with the levels at 80 and 20
    } cases[] = {{"charging past the upper level", true, true, 80, 0, Behaviour::none, 20, true, false},
                 {"charging below it", true, true, 79, 0, Behaviour::none, 20, false, false},
                 {"full on the adapter", true, false, 100, 100, Behaviour::automatic, 0, true, false},
                 {"held at its limit", true, false, 80, 80, Behaviour::automatic, 0, false, false},
                 {"trickling at its limit", true, true, 80, 80, Behaviour::automatic, 0.3, false, false},
                 {"charging stopped by the user", true, false, 90, 0, Behaviour::inhibitCharge, 0, false, false},
                 {"told to discharge", true, false, 15, 0, Behaviour::forceDischarge, -9, false, true},
                 {"on battery at the lower level", false, false, 20, 0, Behaviour::none, -9, false, true},
                 {"on battery above it", false, false, 21, 0, Behaviour::none, -9, false, false},
                 {"adapter too weak", true, false, 12, 0, Behaviour::none, -6, false, true},
                 {"charging at a low charge", true, true, 12, 0, Behaviour::none, 20, false, false}};
    for (const auto& c : cases) {
        const BatteryInfo b{.isCharging = c.charging,
                            .isExternalConnected = c.plugged,
                            .currentCapacityPct = c.pct,
                            .batteryPowerMw = c.batteryW * 1000,
                            .chargeEndThresholdPct = c.endPct,
                            .chargeBehaviour = c.behaviour};
        EXPECT_EQ(chargeHighAlert(b, true, 80).has_value(), c.high) << c.what;
        EXPECT_EQ(chargeLowAlert(b, true, 20).has_value(), c.low) << c.what;
        EXPECT_FALSE(chargeHighAlert(b, false, 80) || chargeLowAlert(b, false, 20)) << c.what;
    }
    EXPECT_FALSE(chargeHighAlert({.isExternalConnected = true}, true, 80))
        << "an unknown charge is no full battery";
    EXPECT_EQ(chargeLowAlert({.currentCapacityPct = 18}, true, 20),
              (AlertMessage{"chargeLow", "🪫 电量已降至 18%", "电量已降到提醒值 20%，请接入电源。"}));
}
