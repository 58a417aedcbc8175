#include "linux/LinuxPowerMeter.h"

#include "PowerAggregator.h"
#include "linux/LinuxBatteryReader.h"

#include "FakeSysfs.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

using joulemap::LinuxPowerMeter;
using joulemap::MeasuredPower;
using joulemap::test::FakeSysfs;

namespace {

const std::string kPowercap = "class/powercap/";

// A two-socket Intel machine's RAPL zones with their counters in µJ, the MMIO copy of the first
// package, a graphics card giving its power and one giving an energy counter.
void writeMachine(const FakeSysfs& sys, int64_t packageUj, int64_t gpuCounterUj) {
    // Each zone's counter runs at its own multiple (in tenths) of the first package's, so the figures differ.
    const struct {
        const char* zone;
        const char* name;
        int64_t tenths;
    } zones[] = {{"intel-rapl:0", "package-0", 10},      {"intel-rapl:0:0", "core", 6},
                 {"intel-rapl:0:1", "uncore", 1},        {"intel-rapl:0:2", "dram", 2},
                 {"intel-rapl:1", "psys", 30},           {"intel-rapl:2", "package-1", 4},
                 {"intel-rapl-mmio:0", "package-0", 100}};
    for (const auto& z : zones) {
        sys.set(kPowercap + z.zone + "/",
                {std::string("name=") + z.name, "energy_uj=" + std::to_string(packageUj * z.tenths / 10)});
    }
    sys.set("class/drm/",
            {"card0/device/hwmon/hwmon3/power1_average=12500000", "card0-eDP-1/status=connected",
             "card1/device/hwmon/hwmon4/energy1_input=" + std::to_string(gpuCounterUj)});
}

const std::vector<joulemap::AppShare> kShares{
    {"A", std::nullopt, 0.7}, {"B", std::nullopt, 0.3}, {"__system__", std::nullopt, 0.4}};

std::vector<std::pair<std::string, double>> bands(const joulemap::JoulemapData& flow) {
    std::vector<std::pair<std::string, double>> out;
    for (const auto& d : flow.destinations) out.emplace_back(d.id, d.power);
    return out;
}

}  // namespace

TEST(LinuxPowerMeter, ReadsRaplDomainsAndGraphicsSensorsAsAverages) {
    FakeSysfs sys;
    writeMachine(sys, 1'000'000, 5'000'000);
    double now = 100;
    LinuxPowerMeter meter(sys.root, [&] { return now; });
    // The counters only set their baselines; the card metering its power is not enough for a
    // sum of both cards.
    EXPECT_EQ(meter.sample(), MeasuredPower{});

    now = 102;
    writeMachine(sys, 11'000'000, 9'000'000);  // package-0: 10 J in 2 s; card1: 4 J
    // Both sockets, not the MMIO copy. With a card's own sensor the integrated graphics stay in the
    // package.
    const MeasuredPower sampled = meter.sample();
    EXPECT_EQ(sampled, (MeasuredPower{5.0 + 2.0, 3.0, 0.5, 1.0, 15.0, 12.5 + 2.0}));
    EXPECT_EQ(std::tuple(sampled.cpuWatts(), sampled.graphicsWatts()), std::tuple(8.0, 14.5));

    // Counters made root-only: those figures are unknown, not 0.
    now = 104;
    for (const char* zone : {"intel-rapl:0", "intel-rapl:2"}) sys.remove(kPowercap + zone + "/energy_uj");
    const MeasuredPower restricted = meter.sample();
    EXPECT_EQ(std::tuple(restricted.packageWatts, restricted.cpuWatts(), restricted.coreWatts),
              std::tuple(std::nullopt, std::nullopt, 0.0));
}

TEST(LinuxPowerMeter, NothingReadableMeansNothingMeasured) {
    double now = 0;
    LinuxPowerMeter meter(joulemap::test::sysfsFixture("desktop-mains"), [&] { return now; });
    meter.sample();
    now = 5;
    EXPECT_FALSE(meter.sample().hasComponents());
}

// The whole road on a fake notebook: sysfs battery and RAPL counters -> snapshot and meters -> flow.
TEST(LinuxPowerMeter, MeteredNotebookFlowAddsUpToTheDischarge) {
    FakeSysfs sys("acpi-laptop-discharging");  // 9.12 W from the battery
    sys.set(kPowercap, {"intel-rapl:0/name=package-0", "intel-rapl:0:1/name=uncore",
                        "intel-rapl:0/energy_uj=1000000", "intel-rapl:0:1/energy_uj=1000000"});
    double now = 0;
    LinuxPowerMeter meter(sys.root, [&] { return now; });
    meter.sample();
    now = 2;
    // 3 W, 0.5 W of them integrated graphics.
    sys.set(kPowercap, {"intel-rapl:0/energy_uj=7000000", "intel-rapl:0:1/energy_uj=2000000"});
    const auto battery = joulemap::LinuxBatteryReader(sys.root).readQuick();
    ASSERT_TRUE(battery);

    // W 9.12; apps claim 0.6 W = 5.472; hardware max(3.648, 2.736, metered 3) = 3.648: cpu 3 − 0.5,
    // gpu 0.5, display the 0.648 left; apps 5.472 as 3.8304 and 1.6416. Rounded to the 9.1 W shown,
    // display's 0.648 is the one that goes up.
    const auto flow = joulemap::PowerAggregator::aggregate(*battery, kShares, meter.sample());
    EXPECT_EQ(flow.inputSub, "放电输出 · 9.1W");
    EXPECT_EQ(bands(flow), (std::vector<std::pair<std::string, double>>{
                               {"A", 3.8}, {"cpu", 2.5}, {"B", 1.6}, {"display", 0.7}, {"gpu", 0.5}}));
}

TEST(LinuxPowerMeter, AdapterTooWeakShowsNoFigureBelowTheDischarge) {
    // Plugged in, yet the battery gives 9.12 W: a charger too weak for the load.
    FakeSysfs sys("acpi-laptop-discharging");
    sys.write("class/power_supply/ADP1/online", "1");
    const auto battery = joulemap::LinuxBatteryReader(sys.root).readQuick();
    ASSERT_TRUE(battery && battery->isAdapterTooWeak());

    // psys over 2 s: 30 J = 15 W for the whole machine, the adapter's share the 5.88 W beyond the
    // battery's. Apps claim 0.6 × 15 = 9 (A 6.3, B 2.7); hardware 6: display 2.1, cpu 2.7, gpu 1.2.
    sys.set(kPowercap, {"intel-rapl:1/name=psys", "intel-rapl:1/energy_uj=1000000"});
    double now = 0;
    LinuxPowerMeter meter(sys.root, [&] { return now; });
    meter.sample();
    now = 2;
    sys.write(kPowercap + "intel-rapl:1/energy_uj", "31000000");
    const auto flow = joulemap::PowerAggregator::aggregate(*battery, kShares, meter.sample());
    EXPECT_EQ(flow.inputSub, "充电器功率不足 · 实际 15.0W · 电池放电 9.1W · 电源");
    EXPECT_EQ(bands(flow), (std::vector<std::pair<std::string, double>>{
                               {"A", 6.3}, {"cpu", 2.7}, {"B", 2.7}, {"display", 2.1}, {"gpu", 1.2}}));
    EXPECT_FALSE(flow.isCharging());
}
