#include "JoulemapData.h"
#include "PowerAggregator.h"
#include "PowerGroup.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace joulemap {
namespace {

using namespace PowerAggregator;

AppShare share(const std::string& name, double fraction) { return {name, std::nullopt, fraction}; }

// "id power" pairs in list order, so a failure shows the whole list at once.
std::string summary(const std::vector<PowerDestination>& destinations) {
    std::ostringstream out;
    for (const PowerDestination& d : destinations) out << d.id << ' ' << d.power << "; ";
    return out.str();
}

// The source node: name, caption, colour and icon.
std::vector<std::string> source(const JoulemapData& data) {
    return {data.inputName, data.inputSub, data.inputColor, data.inputIcon};
}

BatteryInfo pluggedIn(double adapterWatts, double batteryPowerMw) {
    BatteryInfo b;
    b.isExternalConnected = true;
    b.adapterWatts = adapterWatts;
    b.batteryPowerMw = batteryPowerMw;
    return b;
}

TEST(PowerAggregatorTest, SplitsSystemPowerBetweenHardwareAndApps) {
    // A = 0.75 × 20 = 15; H = max(5, 0.3 × 20) = 6.
    const auto list = buildDestinations(20, {share("A", 0.6), share("B", 0.4), share("__system__", 0.25)});
    EXPECT_EQ(summary(list), "A 9; B 6; cpu 2.7; display 2.1; gpu 1.2; ");
    EXPECT_EQ(list[0], (PowerDestination{"A", "A", "\U0001F7E6", "#64d2ff", PowerGroup::app, 9.0}));
    EXPECT_EQ(list[2], (PowerDestination{"cpu", "CPU/系统", "\u2699", "#ff9f0a", PowerGroup::hardware, 2.7}));
    EXPECT_EQ(list[3],
              (PowerDestination{"display", "显示屏", "\U0001F5A5", "#64d2ff", PowerGroup::hardware, 2.1}));
    EXPECT_EQ(list[4], (PowerDestination{"gpu", "GPU", "\u25C8", "#bf5af2", PowerGroup::hardware, 1.2}));

    // The system share is found by name wherever it stands.
    EXPECT_EQ(summary(buildDestinations(20, {share("__system__", 0.25), share("A", 0.6), share("B", 0.4)})),
              summary(list));

    // Without apps the hardware takes everything.
    EXPECT_EQ(summary(buildDestinations(10, {share("__system__", 0.4)})), "cpu 4.5; display 3.5; gpu 2; ");
    EXPECT_EQ(summary(buildDestinations(10, {})), "cpu 4.5; display 3.5; gpu 2; ");
    // Zero or negative power is floored at 0.1 W, which a sole busy app then gets in full.
    EXPECT_EQ(summary(buildDestinations(-3, {share("A", 1.0)})), "A 0.1; display 0; cpu 0; gpu 0; ");
}

TEST(PowerAggregatorTest, ListsAtMostFiveAppsAboveATenthOfAWattInStableOrder) {
    const auto list =
        buildDestinations(10, {share("a1", 0.3), share("a2", 0.2), share("a3", 0.15), share("a4", 0.1),
                               share("a5", 0.1), share("a6", 0.1), share("a7", 0.05)});
    // The shares are of all seven apps: the dropped two still take their power away, and no "other".
    // H = 0.3 × 10; 0.35 × 3 is just below 1.05 in binary, so display rounds to 1.0 and, tied with
    // a4 and a5, stays ahead of them.
    EXPECT_EQ(summary(list), "a1 3; a2 2; a3 1.5; cpu 1.4; display 1; a4 1; a5 1; gpu 0.6; ");

    EXPECT_EQ(summary(buildDestinations(10, {share("big", 0.991), share("tiny", 0.009)})),
              "big 9.9; cpu 1.4; display 1; gpu 0.6; ");  // tiny: 0.09 W
    EXPECT_EQ(summary(buildDestinations(10, {share("big", 0.99), share("tiny", 0.01)})),
              "big 9.9; cpu 1.4; display 1; gpu 0.6; tiny 0.1; ");

    // H = 5: display 1.75 and cpu 2.25 round up; the app L ties with gpu at 1.0 and stays behind it.
    EXPECT_EQ(summary(buildDestinations(10, {share("K", 0.8), share("L", 0.2), share("__system__", 0.5)})),
              "K 4; cpu 2.3; display 1.8; gpu 1; L 1; ");
    EXPECT_EQ(summary(buildDestinations(10, {share("Q", 0.5), share("P", 0.5), share("__system__", 0.5)})),
              "Q 2.5; P 2.5; cpu 2.3; display 1.8; gpu 1; ");
}

TEST(PowerAggregatorTest, OnBatteryDrainsAtLeastFourWatts) {
    BatteryInfo b;
    const JoulemapData data = aggregate(b, {});
    EXPECT_EQ(source(data), (std::vector<std::string>{"电池", "放电输出 · 4.0W", "#ffd60a", "\U0001F50B"}));
    EXPECT_EQ(summary(data.destinations), "cpu 1.8; display 1.4; gpu 0.8; ");

    // The larger of the two measurements counts, whatever their signs.
    b.batteryPowerMw = -12'087;
    b.instantAmperageMa = -1'000;
    b.voltageMv = 12'000;
    EXPECT_EQ(aggregate(b, {}).inputSub, "放电输出 · 12.1W");
    b.instantAmperageMa = -1'500;
    EXPECT_EQ(aggregate(b, {}).inputSub, "放电输出 · 18.0W");

    // Unplugged, a positive battery power is still drain, never a charging destination.
    b.batteryPowerMw = 20'000;
    EXPECT_FALSE(aggregate(b, {}).isCharging());
}

TEST(PowerAggregatorTest, PluggedInChargingBatteryClosesTheList) {
    const JoulemapData data = aggregate(pluggedIn(60, 20'000), {});
    EXPECT_EQ(source(data), (std::vector<std::string>{"充电器", "60W · 实际 60.0W", "#30d158", "\u26A1"}));
    // systemW = 60 − 20; the battery is the largest yet last.
    EXPECT_EQ(summary(data.destinations), "cpu 18; display 14; gpu 8; battery 20; ");
    EXPECT_EQ(data.destinations.back(),
              (PowerDestination{"battery", "电池充电", "\U0001F50B", "#ffd60a", PowerGroup::battery, 20.0}));
    EXPECT_DOUBLE_EQ(data.totalPower(), 60.0);

    // The measured adapter input wins over the rating.
    BatteryInfo measured = pluggedIn(96, 5'000);
    measured.systemPowerInMw = 45'300;
    EXPECT_EQ(aggregate(measured, {}).inputSub, "96W · 实际 45.3W");
    EXPECT_DOUBLE_EQ(aggregate(measured, {}).totalPower(), 45.3);

    // 0.05 W and exactly 0.1 W are not above the noise floor.
    EXPECT_FALSE(aggregate(pluggedIn(60, 100), {}).isCharging());
    EXPECT_TRUE(aggregate(pluggedIn(60, 101), {}).isCharging());
    // Discharging on a weak adapter: the system gets the whole input, the battery's part is not subtracted.
    EXPECT_EQ(summary(aggregate(pluggedIn(60, -3'000), {}).destinations), "cpu 27; display 21; gpu 12; ");
    // Charging with more than the input leaves the system at the 0.1 W floor.
    EXPECT_EQ(summary(aggregate(pluggedIn(10, 30'000), {}).destinations),
              "display 0; cpu 0; gpu 0; battery 30; ");
}

TEST(PowerAggregatorTest, AdapterLabelTexts) {
    BatteryInfo b = pluggedIn(96, 0);
    b.chargingProtocol = "USB-PD";
    b.isPdFastCharge = true;
    EXPECT_EQ(adapterLabel(b, 45.3), "USB-PD 96W 快充 · 实际 45.3W");
    b.isPdFastCharge = false;
    EXPECT_EQ(adapterLabel(b, 45.34), "USB-PD 96W · 实际 45.3W");
    b.adapterWatts = 0;
    EXPECT_EQ(adapterLabel(b, 5), "USB-PD · 实际 5.0W");

    // The rating is cut, the slow-charge test uses the real value; below 18 W the charge is slow.
    const std::vector<std::pair<double, std::string>> plain = {
        {17.9, "17W 慢充 · 实际 8.0W"}, {18, "18W · 实际 8.0W"}, {0, "电源 · 实际 8.0W"}};
    for (const auto& [watts, label] : plain) EXPECT_EQ(adapterLabel(pluggedIn(watts, 0), 8), label);
    EXPECT_EQ(adapterLabel(pluggedIn(96.7, 0), 0.25), "96W · 实际 0.3W");
}

TEST(PowerAggregatorTest, DesktopUsesAFixedEstimateAndAppIcons) {
    const JoulemapData data = aggregateDesktop({share("Chrome", 1.0), share("__system__", 0.5)});
    EXPECT_EQ(source(data), (std::vector<std::string>{"电源", "交流供电 · 4.0W", "#30d158", "\u26A1"}));
    EXPECT_EQ(summary(data.destinations), "Chrome 2; cpu 0.9; display 0.7; gpu 0.4; ");
    EXPECT_EQ(data.destinations[0].icon, "\U0001F310");
    EXPECT_EQ(data.destinations[0].color, "#4285f4");

    EXPECT_EQ(appIcon("Arc"), "\U0001F310");
    EXPECT_EQ(appColor("Arc"), "#64d2ff");  // known icon, default colour
    EXPECT_EQ(appIcon("Cursor"), appIcon("VS Code"));
    EXPECT_EQ(appColor("微信"), "#07c160");
    // Lookups are exact.
    EXPECT_EQ(appIcon("chrome"), "\U0001F7E6");
    EXPECT_EQ(appColor("chrome"), "#64d2ff");
}

TEST(PowerAggregatorTest, GroupNamesRoundTripAndPlaceholder) {
    for (const PowerGroup group : kAllPowerGroups) EXPECT_EQ(powerGroupFromRaw(rawValue(group)), group);
    EXPECT_EQ(powerGroupFromRaw("Battery"), std::nullopt);

    const JoulemapData& sample = JoulemapData::placeholder();
    EXPECT_EQ(sample.inputSub, "USB-C · 30W");
    EXPECT_EQ(summary(sample.destinations),
              "battery 9; display 5; cpu 4; chrome 3.5; gpu 2; vscode 1.8; wifi 1.2; other 2.5; ");
    EXPECT_DOUBLE_EQ(sample.totalPower(), 29.0);
    EXPECT_TRUE(sample.isCharging());
    EXPECT_FALSE(JoulemapData{}.isCharging());
}

}  // namespace
}  // namespace joulemap
