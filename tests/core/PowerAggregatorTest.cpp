#include "JoulemapData.h"
#include "PowerAggregator.h"
#include "PowerGroup.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace joulemap {
namespace {

using namespace PowerAggregator;

AppShare share(const std::string& name, double fraction) { return {name, std::nullopt, fraction}; }

// "id power" pairs in list order, so a failure shows the whole list.
std::string summary(const std::vector<PowerDestination>& destinations) {
    std::ostringstream out;
    for (const PowerDestination& d : destinations) out << d.id << ' ' << d.power << "; ";
    return out.str();
}

std::vector<std::string> source(const JoulemapData& data) {
    return {data.inputName, data.inputSub, data.inputColor, data.inputIcon};
}

BatteryInfo pluggedIn(double adapterWatts, double batteryPowerMw, double systemPowerInMw = 0) {
    return {.isExternalConnected = true,
            .adapterWatts = adapterWatts,
            .systemPowerInMw = systemPowerInMw,
            .batteryPowerMw = batteryPowerMw};
}

// The source's figure in its sub-line: "充电器 · 估算 24.0W" -> 24.0, "… · 至少 10.0W · …" -> 10.0.
double shownFigure(const std::string& inputSub) {
    for (const char* kind : {"至少 ", "实际 ", "估算 "}) {
        if (const auto at = inputSub.find(kind); at != std::string::npos) {
            return std::stod(inputSub.substr(at + std::string(kind).size()));
        }
    }
    return std::stod(inputSub.substr(inputSub.rfind(' ') + 1));
}

MeasuredPower meters(double package) { return {.packageWatts = package}; }

TEST(PowerAggregatorTest, HardwareKeepsItsFloorAndAppsShareWhatIsLeft) {
    // W = 20: the apps claim 0.75 × 20 = 15, hardware keeps max(5, 0.3 × 20) = 6, the apps get 14.
    const auto list = buildDestinations(20, {share("A", 0.6), share("B", 0.4), share("__system__", 0.25)});
    EXPECT_EQ(summary(list), "A 8.4; B 5.6; cpu 2.7; display 2.1; gpu 1.2; ");
    EXPECT_EQ(list[2], (PowerDestination{"cpu", "CPU/系统", "\u2699", "#ff9f0a", PowerGroup::hardware, 2.7, true}));
    EXPECT_FALSE(list[0].estimated);  // the apps' part of a measured total

    // The system share is found by name wherever it stands; without apps the hardware takes all.
    EXPECT_EQ(summary(buildDestinations(20, {share("__system__", 0.25), share("A", 0.6), share("B", 0.4)})),
              summary(list));
    EXPECT_EQ(summary(buildDestinations(10, {share("__system__", 0.4)})), "cpu 4.5; display 3.5; gpu 2; ");
    // Zero or negative power is floored at 0.1 W; the sole app's 0.07 W stays with the system.
    EXPECT_EQ(summary(buildDestinations(-3, {share("A", 1.0)})), "cpu 0.1; display 0; gpu 0; ");
}

TEST(PowerAggregatorTest, AppsBeyondTheFifthAndCrumbsGoToOtherApps) {
    // W = 10, system 0.4: hardware 4 (display 1.4, cpu 1.8, gpu 0.8), apps 6; a6 and a7 (0.36 + 0.24)
    // are gathered into one band.
    const auto list =
        buildDestinations(10, {share("a1", 0.4), share("a2", 0.2), share("a3", 0.1), share("a4", 0.1), share("a5", 0.1),
                               share("a6", 0.06), share("a7", 0.04), share("__system__", 0.4)});
    EXPECT_EQ(summary(list), "a1 2.4; cpu 1.8; display 1.4; a2 1.2; gpu 0.8; a3 0.6; a4 0.6; a5 0.6; other 0.6; ");
    EXPECT_EQ(list.back(), (PowerDestination{"other", "其他应用", "\u00B7", "#8e8e93", PowerGroup::app, 0.6}));

    // tiny's 0.07 W is too little for a band or "其他应用": the system keeps it, and display's 1.05
    // rounds up so that the bands still make 10.0.
    EXPECT_EQ(summary(buildDestinations(10, {share("big", 0.99), share("tiny", 0.01)})),
              "big 6.9; cpu 1.4; display 1.1; gpu 0.6; ");
}

TEST(PowerAggregatorTest, MeteredComponentsShowTheirOwnFigures) {
    const BatteryInfo onBattery{.batteryPowerMw = -15'000};
    const std::vector<AppShare> shares{share("A", 1.0), share("__system__", 0.5)};

    // W = 15, apps claim 7.5; hardware = max(7.5, 4.5, metered 5) = 7.5: cpu = package 3 + dram 0.5,
    // gpu 1.5 from its sensor, display the remaining 2.5 as an estimate.
    auto flow = aggregate(onBattery, shares, {.packageWatts = 3.0, .dramWatts = 0.5, .gpuWatts = 1.5});
    EXPECT_EQ(summary(flow.destinations), "A 7.5; cpu 3.5; display 2.5; gpu 1.5; ");
    EXPECT_TRUE(flow.destinations[2].estimated && !flow.destinations[1].estimated && !flow.destinations[3].estimated);

    // No GPU sensor: the integrated graphics' plane (uncore) is the GPU and leaves the package.
    EXPECT_EQ(summary(aggregate(onBattery, shares, {.packageWatts = 4.0, .uncoreWatts = 1.0}).destinations),
              "A 7.5; display 3.5; cpu 3; gpu 1; ");
    // Neither: the unmetered remainder 7.5 − 3.5 is split display : gpu = 0.35 : 0.2.
    EXPECT_EQ(summary(aggregate(onBattery, shares, meters(3.5)).destinations),
              "A 7.5; cpu 3.5; display 2.5; gpu 1.5; ");
    // Meters reading more than the whole (averaged over another interval) are scaled to it.
    EXPECT_EQ(summary(aggregate(onBattery, shares, meters(30.0)).destinations), "cpu 15; display 0; gpu 0; ");
}

TEST(PowerAggregatorTest, DesktopShowsWhatItMeasuresOrSaysItEstimates) {
    const std::vector<AppShare> shares{share("A", 1.0), share("__system__", 0.25)};
    const JoulemapData estimate = aggregateDesktop(shares);
    EXPECT_EQ(source(estimate), (std::vector<std::string>{"电源", "交流供电 · 估算 4.0W", "#30d158", "\u26A1"}));
    for (const auto& d : estimate.destinations) EXPECT_TRUE(d.estimated) << d.id;
    EXPECT_EQ(aggregateDesktop(shares, {.platformWatts = 30}).inputSub, "交流供电 · 实际 30.0W");
    // Only the package metered: 12 W is the whole, and no unmetered band pretends to a figure.
    const JoulemapData package = aggregateDesktop(shares, meters(12.0));
    EXPECT_EQ(package.inputSub, "交流供电 · CPU 实际 12.0W");
    EXPECT_EQ(summary(package.destinations), "A 8.4; cpu 3.6; ");
    EXPECT_EQ(aggregateDesktop(shares, {.packageWatts = 10.0, .gpuWatts = 2.0}).inputSub,
              "交流供电 · CPU+GPU 实际 12.0W");
}

TEST(PowerAggregatorTest, OnBatteryDrainsAtLeastFourWatts) {
    const JoulemapData data = aggregate(BatteryInfo{}, {});
    EXPECT_EQ(source(data), (std::vector<std::string>{"电池", "放电输出 · 估算 4.0W", "#ffd60a", "\U0001F50B"}));
    EXPECT_EQ(summary(data.destinations), "cpu 1.8; display 1.4; gpu 0.8; ");

    // The larger of the two measurements counts, whatever their signs.
    BatteryInfo b{.voltageMv = 12'000, .instantAmperageMa = -1'000, .batteryPowerMw = -12'087};
    EXPECT_EQ(aggregate(b, {}).inputSub, "放电输出 · 12.1W");
    b.instantAmperageMa = -1'500;
    EXPECT_EQ(aggregate(b, {}).inputSub, "放电输出 · 18.0W");
    // Unplugged, a positive battery power is still drain, never a charging destination.
    EXPECT_FALSE(aggregate({.batteryPowerMw = 20'000}, {}).isCharging());
}

TEST(PowerAggregatorTest, ChargingInputIsMeasuredOrAnEstimateNeverTheRating) {
    // No meter, nothing measured on battery: 20 W into the battery plus the 4 W estimate.
    JoulemapData data = aggregate(pluggedIn(60, 20'000), {});
    EXPECT_EQ(source(data), (std::vector<std::string>{"充电器", "60W · 估算 24.0W", "#30d158", "\u26A1"}));
    EXPECT_EQ(summary(data.destinations), "cpu 1.8; display 1.4; gpu 0.8; battery 20; ");
    EXPECT_EQ(data.destinations.back(),
              (PowerDestination{"battery", "电池充电", "\U0001F50B", "#ffd60a", PowerGroup::battery, 20.0}));

    // The consumption measured on battery (9.12 W) replaces the 4 W; 3.192 W of display rounds up so
    // that the bands make the 29.1 W shown.
    BatteryInfo remembered = pluggedIn(0, 20'000);
    remembered.consumptionEstimateMw = 9'120;
    data = aggregate(remembered, {});
    EXPECT_EQ(data.inputSub, "电源 · 估算 29.1W");
    EXPECT_EQ(summary(data.destinations), "cpu 4.1; display 3.2; gpu 1.8; battery 20; ");

    EXPECT_EQ(aggregate(pluggedIn(96, 5'000, 45'300), {}).inputSub, "96W · 实际 45.3W");
    EXPECT_EQ(aggregate(pluggedIn(65, 20'000), {}, {.platformWatts = 8}).inputSub, "65W · 实际 28.0W");

    // 0.05 W and exactly 0.1 W are not above the noise floor; the system then takes the whole input.
    EXPECT_FALSE(aggregate(pluggedIn(60, 100), {}).isCharging());
    EXPECT_TRUE(aggregate(pluggedIn(60, 101), {}).isCharging());
    // An adapter too weak for the load: its metered 6.2 W plus the battery's 3 W; without a meter
    // the discharge is a lower bound, never the 4 W estimate.
    EXPECT_EQ(aggregate(pluggedIn(15, -3'000, 6'200), {}).inputSub,
              "充电器功率不足 · 实际 9.2W · 电池放电 3.0W · 15W 慢充");
    EXPECT_EQ(aggregate(pluggedIn(15, -10'000), {}).inputSub,
              "充电器功率不足 · 至少 10.0W · 电池放电 10.0W · 15W 慢充");
    // A fuel gauge's noise around a full battery is no weak adapter.
    EXPECT_EQ(aggregate(pluggedIn(60, -300), {}).inputSub, "60W · 估算 4.0W");
}

// The flag others republish the total with must agree with what the source line tells the user.
bool saysNotMeasured(const std::string& inputSub) {
    return inputSub.find("估算") != std::string::npos || inputSub.find("至少") != std::string::npos;
}

TEST(PowerAggregatorTest, BandsAddUpToTheFigureTheSourceShowsAndSayWhetherItIsMeasured) {
    BatteryInfo charging = pluggedIn(65, 17'777);
    charging.consumptionEstimateMw = 6'666;
    const BatteryInfo batteries[] = {{.batteryPowerMw = -12'345},  charging,
                                     pluggedIn(96, 3'333, 41'111), pluggedIn(15, -7'777),
                                     pluggedIn(15, -7'777, 8'888), BatteryInfo{}};
    const std::vector<std::vector<AppShare>> shareSets{
        {},
        {share("A", 0.5), share("B", 0.3), share("C", 0.2), share("__system__", 0.1)},
        {share("a", 0.21), share("b", 0.19), share("c", 0.17), share("d", 0.13), share("e", 0.11),
         share("f", 0.1), share("g", 0.05), share("h", 0.04), share("__system__", 0.33)}};
    for (const auto& shares : shareSets) {
        for (const MeasuredPower& measured :
             {MeasuredPower{}, MeasuredPower{.packageWatts = 4.44, .dramWatts = 0.77, .gpuWatts = 1.11}}) {
            for (const BatteryInfo& b : batteries) {
                const JoulemapData flow = aggregate(b, shares, measured);
                EXPECT_NEAR(flow.totalPower(), shownFigure(flow.inputSub), 1e-9) << flow.inputSub;
                EXPECT_EQ(flow.inputMeasured, !saysNotMeasured(flow.inputSub)) << flow.inputSub;
            }
            const JoulemapData desktop = aggregateDesktop(shares, measured);
            EXPECT_NEAR(desktop.totalPower(), shownFigure(desktop.inputSub), 1e-9) << desktop.inputSub;
            EXPECT_EQ(desktop.inputMeasured, !saysNotMeasured(desktop.inputSub)) << desktop.inputSub;
        }
    }
}

TEST(PowerAggregatorTest, AdapterLabelTexts) {
    BatteryInfo b{.adapterWatts = 96, .chargingProtocol = "USB-PD", .isPdFastCharge = true};
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
    EXPECT_EQ(adapterLabel(pluggedIn(0, 0), 24, false), "电源 · 估算 24.0W");
}

TEST(PowerAggregatorTest, AppIconsAndColoursTellAppsApart) {
    EXPECT_EQ(appColor("Chrome"), "#4285f4");
    EXPECT_EQ(appIcon("chrome"), "\U0001F7E6");  // lookups are exact
    // Without a colour of their own (Arc has only an icon): a palette colour by name, the same every
    // time, never one the hardware, the battery or "其他应用" wear.
    const std::set<std::string> reserved{"#64d2ff", "#ff9f0a", "#bf5af2", "#ffd60a", "#8e8e93"};
    std::set<std::string> seen;
    for (const char* name : {"Arc", "chrome", "gimp", "blender", "build.sh", "server.js", "Telegram", "终端"}) {
        const std::string color = appColor(name);
        EXPECT_FALSE(reserved.count(color)) << name << " " << color;
        EXPECT_EQ(appColor(name), color);
        seen.insert(color);
    }
    EXPECT_GE(seen.size(), 4u);
}

TEST(PowerAggregatorTest, GroupNamesRoundTripAndPlaceholder) {
    for (const PowerGroup group : kAllPowerGroups) EXPECT_EQ(powerGroupFromRaw(rawValue(group)), group);
    EXPECT_EQ(powerGroupFromRaw("Battery"), std::nullopt);

    const JoulemapData sample = JoulemapData::placeholder();
    EXPECT_EQ(sample.inputSub, "USB-C · 30W");
    EXPECT_EQ(summary(sample.destinations),
              "battery 9; display 5; cpu 4; chrome 3.5; gpu 2; vscode 1.8; wifi 1.2; other 2.5; ");
    EXPECT_DOUBLE_EQ(sample.totalPower(), 29.0);
    EXPECT_TRUE(sample.isCharging());
    EXPECT_FALSE(JoulemapData{}.isCharging());
}

}  // namespace
}  // namespace joulemap
