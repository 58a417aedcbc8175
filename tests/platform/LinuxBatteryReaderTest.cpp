#include "linux/LinuxBatteryReader.h"

#include "FakeSysfs.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using joulemap::BatteryInfo;
using joulemap::LinuxBatteryReader;
using joulemap::test::FakeSysfs;
using joulemap::test::sysfsFixture;

namespace {

const std::string kBat = "class/power_supply/BAT0/";
const std::string kPd = "class/power_supply/ucsi-source-psy-USBC000:001/";
const std::string kPsys = "class/powercap/intel-rapl:1/";

// The ACPI laptop of the fixtures, moved between battery and adapter as its user would.
void unplug(const FakeSysfs& sys, const std::string& dischargeUw) {
    sys.write("class/power_supply/ADP1/online", "0");
    sys.write(kBat + "status", "Discharging");
    sys.write(kBat + "power_now", dischargeUw);
}
void plugIn(const FakeSysfs& sys, const std::string& chargeUw) {
    sys.write("class/power_supply/ADP1/online", "1");
    sys.write(kBat + "status", "Charging");
    sys.write(kBat + "power_now", chargeUw);
}

}  // namespace

TEST(LinuxBatteryReader, AcpiLaptopOnBatteryConvertsEnergyAndSignsTheRate) {
    const auto b = LinuxBatteryReader(sysfsFixture("acpi-laptop-discharging")).readQuick();
    ASSERT_TRUE(b);
    EXPECT_EQ(b->currentCapacityPct, 73);
    EXPECT_DOUBLE_EQ(b->voltageMv, 11850);
    // µWh over the 11.4 V design voltage, not over the sagging cell voltage.
    EXPECT_DOUBLE_EQ(b->designCapacityMah, 5000);
    EXPECT_DOUBLE_EQ(b->maxCapacityMah, 4500);
    EXPECT_DOUBLE_EQ(b->currentCapacityMah, 3285);
    EXPECT_DOUBLE_EQ(b->batteryPowerMw, -9120);
    EXPECT_NEAR(b->instantAmperageMa, -769.62, 0.01);
    EXPECT_EQ(b->timeRemainingMin, 246);   // 37.449 Wh at 9.12 W
    EXPECT_FALSE(b->isExternalConnected);  // both chargers offline
    EXPECT_DOUBLE_EQ(b->systemPowerInMw, 0);
}

TEST(LinuxBatteryReader, UsbPdAdapterRatingProtocolAndPorts) {
    FakeSysfs sys("acpi-laptop-pd-charging");
    LinuxBatteryReader reader(sys.root);
    auto b = reader.readQuick();
    EXPECT_TRUE(b->isExternalConnected);
    EXPECT_DOUBLE_EQ(b->instantAmperageMa, 2000);
    EXPECT_DOUBLE_EQ(b->adapterWatts, 65);
    EXPECT_EQ(b->adapterDescription, "ucsi-source-psy-USBC000:001");
    EXPECT_EQ(b->chargingProtocol, "USB-PD");
    EXPECT_TRUE(b->isPdFastCharge);
    EXPECT_FALSE(b->isProvidingPower);        // port1 would source, but nothing is attached
    EXPECT_DOUBLE_EQ(b->systemPowerInMw, 0);  // no meter, nothing measured on battery yet

    sys.write(kPd + "voltage_max", "5000000");
    sys.write(kPd + "current_max", "3000000");
    sys.write(kPd + "online", "2");  // programmable (PPS) is online too
    b = reader.readQuick();
    EXPECT_DOUBLE_EQ(b->adapterWatts, 15);
    EXPECT_FALSE(b->isPdFastCharge);
    sys.write(kPd + "usb_type", "[C] PD PD_PPS");  // PD known to the port but not in use
    EXPECT_EQ(reader.readQuick()->chargingProtocol, "未知");

    sys.write("class/typec/port1-partner/type", "phone");
    EXPECT_TRUE(reader.readQuick()->isProvidingPower);
}

TEST(LinuxBatteryReader, FuelGaugeWithSignedCurrentAndItsOwnTimeEstimate) {
    FakeSysfs sys("fuel-gauge-discharging");
    LinuxBatteryReader reader(sys.root);
    auto b = reader.readQuick();
    EXPECT_DOUBLE_EQ(b->instantAmperageMa, -412);
    EXPECT_NEAR(b->batteryPowerMw, -1582.904, 1e-9);  // no power_now: current × voltage
    EXPECT_DOUBLE_EQ(b->temperatureC, 28.7);
    EXPECT_DOUBLE_EQ(b->maxCapacityMah, 2850);
    EXPECT_EQ(b->timeRemainingMin, 241);  // the gauge's own estimate wins over charge ÷ current

    sys.write("class/power_supply/bq27541-0/status", "Not charging");  // no direction: keep the sign
    EXPECT_DOUBLE_EQ(reader.readQuick()->instantAmperageMa, -412);
    sys.write("class/power_supply/bq27541-0/status", "Charging");
    EXPECT_DOUBLE_EQ(reader.readQuick()->instantAmperageMa, 412);
}

TEST(LinuxBatteryReader, SumsEveryPresentSystemBatteryAsOne) {
    EXPECT_FALSE(LinuxBatteryReader(sysfsFixture("desktop-mains")).readQuick());
    EXPECT_FALSE(LinuxBatteryReader(sysfsFixture("desktop-wireless-mouse")).readQuick());

    // BAT0 of the fixture drains 9.12 W (37.449 of 51.3 Wh, design 57 Wh at 11.4 V); a second
    // battery without a present file drains 5.88 W (20 of 23 Wh, design 24 Wh at 12 V).
    FakeSysfs sys("acpi-laptop-discharging");
    const std::string bat1 = "class/power_supply/BAT1/";
    sys.set(bat1, {"type=Battery", "status=Discharging", "capacity=87", "cycle_count=300",
                   "energy_now=20000000", "energy_full=23000000", "energy_full_design=24000000",
                   "power_now=5880000", "voltage_now=12000000", "voltage_min_design=12000000"});
    LinuxBatteryReader reader(sys.root);
    const auto b = reader.readQuick();
    ASSERT_TRUE(b);
    EXPECT_DOUBLE_EQ(b->batteryPowerMw, -15000);
    EXPECT_DOUBLE_EQ(b->energyNowMwh, 57449);
    EXPECT_DOUBLE_EQ(b->energyFullMwh, 74300);
    EXPECT_EQ(b->currentCapacityPct, 77);  // 57.449 / 74.3 Wh
    EXPECT_DOUBLE_EQ(b->designCapacityMah, 5000 + 2000);
    EXPECT_NEAR(b->maxCapacityMah, 4500 + 1916.667, 1e-3);
    EXPECT_NEAR(b->instantAmperageMa, -769.62 - 490, 0.01);
    EXPECT_DOUBLE_EQ(b->voltageMv, 11850);  // the battery carrying the larger current
    EXPECT_EQ(b->cycleCount, 300);
    // 57.449 Wh at 15 W is 3.8299 h: 229.8 min, what energy ÷ power gives for both batteries.
    EXPECT_EQ(b->timeRemainingMin, 229);
    ASSERT_EQ(b->batteries.size(), 2u);
    EXPECT_EQ(b->batteries[0], (joulemap::SystemBattery{"BAT0", 73, 5000, 4500, 112, 0}));
    EXPECT_EQ(b->batteries[1].name, "BAT1");
    EXPECT_DOUBLE_EQ(b->batteries[1].designCapacityMah, 2000);

    sys.write(kBat + "present", "0");
    EXPECT_EQ(reader.readQuick()->currentCapacityPct, 87);
    sys.write(bat1 + "type", "Mains");
    EXPECT_FALSE(reader.readQuick());
}

TEST(LinuxBatteryReader, GarbageOrMissingAttributesFallBackOneByOne) {
    FakeSysfs sys("acpi-laptop-discharging");
    sys.write(kBat + "capacity", "73%");
    sys.write(kBat + "cycle_count", "99999999999999999999");
    sys.write(kBat + "voltage_min_design", "0");  // design voltage falls back to voltage_now
    sys.write(kBat + "energy_full", "");
    sys.write(kBat + "temp/x", "1");  // a directory where a file belongs
    sys.remove(kBat + "power_now");
    sys.write("class/power_supply/ADP1/online", "yes");
    const auto b = LinuxBatteryReader(sys.root).readQuick();
    ASSERT_TRUE(b);
    EXPECT_FALSE(b->currentCapacityPct);  // unknown, not an empty battery
    EXPECT_EQ(b->cycleCount, 0);
    EXPECT_DOUBLE_EQ(b->temperatureC, 0);
    EXPECT_NEAR(b->designCapacityMah, 57000000.0 / 11850, 1e-9);
    EXPECT_DOUBLE_EQ(b->maxCapacityMah, 0);
    EXPECT_EQ(b->timeRemainingMin, 0);
    EXPECT_FALSE(b->isExternalConnected);
}

TEST(LinuxBatteryReader, ConsumptionLastMeasuredOnBatteryTravelsAsAnEstimate) {
    FakeSysfs sys("acpi-laptop-discharging");
    double now = 0;
    LinuxBatteryReader reader(sys.root, [&] { return now; });
    reader.readQuick();  // 9.12 W on battery
    now = 30;
    plugIn(sys, "20000000");
    auto b = reader.readQuick();
    EXPECT_DOUBLE_EQ(b->systemPowerInMw, 0);  // nothing measured the input
    EXPECT_DOUBLE_EQ(b->consumptionEstimateMw, 9120);

    // A heavier load moves the smoothed figure part of the way.
    now = 60;
    unplug(sys, "15000000");
    reader.readQuick();
    now = 90;
    plugIn(sys, "20000000");
    const double estimateMw = reader.readQuick()->consumptionEstimateMw;
    EXPECT_GT(estimateMw, 9120);
    EXPECT_LT(estimateMw, 15000);

    now = 60 + LinuxBatteryReader::kEstimateMaxAgeSeconds + 1;  // too old to stand for the present
    EXPECT_DOUBLE_EQ(reader.readQuick()->consumptionEstimateMw, 0);
}

TEST(LinuxBatteryReader, MeasuredInputFromTheChargerOrThePlatformMeter) {
    FakeSysfs sys("acpi-laptop-discharging");
    sys.write(kPsys + "name", "psys");
    sys.write(kPsys + "energy_uj", "1000000");
    double now = 0;
    LinuxBatteryReader reader(sys.root, [&] { return now; });
    reader.readQuick();  // on battery: 9.12 W remembered, meter baseline taken
    now = 10;
    plugIn(sys, "20000000");
    sys.write(kPsys + "energy_uj", "81000000");  // 80 J in 10 s
    EXPECT_DOUBLE_EQ(reader.readQuick()->systemPowerInMw, 8000 + 20000);

    now = 20;
    sys.remove(kPsys + "energy_uj");  // as when the counter is root-only
    auto b = reader.readQuick();
    EXPECT_DOUBLE_EQ(b->systemPowerInMw, 0);
    EXPECT_DOUBLE_EQ(b->consumptionEstimateMw, 9120);

    sys.write("class/power_supply/ADP1/power_now", "31500000");  // a charger metering itself
    EXPECT_DOUBLE_EQ(reader.readQuick()->systemPowerInMw, 31500);
}

// Values real drivers have been seen to report for a field they do not know: all-ones words,
// negative errors, overflowing counters. Each must read as absent, never as a figure.
TEST(LinuxBatteryReader, ImplausibleReadingsReadAsAbsent) {
    const std::string gauge = "class/power_supply/bq27541-0/";
    const std::string adapter = "class/power_supply/ADP1/";
    struct Case {
        const char* fixture;
        std::vector<std::string> writes;
        std::function<bool(const BatteryInfo&)> isAbsent;
    };
    const char* acpi = "acpi-laptop-discharging";
    const char* fuel = "fuel-gauge-discharging";
    const auto noCharge = [](const BatteryInfo& b) { return !b.currentCapacityPct; };
    const auto noTemperature = [](const BatteryInfo& b) { return b.temperatureC == 0; };
    const auto noPower = [](const BatteryInfo& b) {
        return b.batteryPowerMw == 0 && b.instantAmperageMa == 0;
    };
    const auto noDesign = [](const BatteryInfo& b) { return b.designCapacityMah == 0; };
    const std::vector<Case> cases{
        {acpi, {kBat + "capacity=-5"}, noCharge},
        {acpi, {kBat + "capacity=250"}, noCharge},
        {fuel, {gauge + "temp=9223372036854775807"}, noTemperature},
        {fuel, {gauge + "temp=-500"}, noTemperature},
        {acpi, {kBat + "power_now=9223372036854775807"}, noPower},
        {fuel, {gauge + "current_now=4294967295"}, noPower},
        {acpi,
         {kBat + "voltage_now=4294967295"},
         [](const BatteryInfo& b) { return b.voltageMv == 0 && b.instantAmperageMa == 0; }},
        {fuel,
         {gauge + "voltage_now=4294967295", gauge + "current_now=4294967295"},
         [](const BatteryInfo& b) { return b.voltageMv == 0 && b.batteryPowerMw == 0; }},
        {acpi,
         {kBat + "energy_full=9223372036854775807"},
         [](const BatteryInfo& b) { return b.maxCapacityMah == 0 && b.energyFullMwh == 0; }},
        {acpi, {kBat + "voltage_min_design=4294967295", kBat + "voltage_now=4294967295"}, noDesign},
        {fuel, {gauge + "charge_full_design=9223372036854775807"}, noDesign},
        // An absurd estimate of the gauge's own gives way to charge ÷ current.
        {fuel,
         {gauge + "time_to_empty_now=9223372036854775807"},
         [](const BatteryInfo& b) { return b.timeRemainingMin == 240; }},
        // A trickle: decades left.
        {acpi, {kBat + "power_now=1"}, [](const BatteryInfo& b) { return b.timeRemainingMin == 0; }},
        {acpi,
         {adapter + "online=1", adapter + "power_now=9223372036854775807"},
         [](const BatteryInfo& b) { return b.systemPowerInMw == 0; }},
    };
    for (const auto& c : cases) {
        FakeSysfs sys(c.fixture);
        sys.set("", c.writes);
        const auto b = LinuxBatteryReader(sys.root).readQuick();
        ASSERT_TRUE(b);
        EXPECT_TRUE(c.isAbsent(*b)) << c.writes.front();
    }
}

TEST(LinuxBatteryReader, ChargeRatioOfSeveralBatteriesStaysWithinRange) {
    // Two batteries whose energy_now exceeds energy_full at the end of charging.
    FakeSysfs sys("acpi-laptop-discharging");
    sys.write(kBat + "energy_now", "52000000");
    sys.set("class/power_supply/BAT1/",
            {"type=Battery", "status=Full", "energy_now=23500000", "energy_full=23000000"});
    EXPECT_EQ(LinuxBatteryReader(sys.root).readQuick()->currentCapacityPct, 100);
}

TEST(LinuxBatteryReader, ChargeThresholdsAndBehaviourOfTheDriver) {
    using Behaviour = BatteryInfo::ChargeBehaviour;
    const std::string start = "charge_control_start_threshold";
    const std::string end = "charge_control_end_threshold";
    const std::string behaviour = "charge_behaviour";
    struct Case {
        std::vector<std::string> writes;
        int endPct, startPct;
        Behaviour behaviour;
        bool held;
    };
    const std::vector<Case> cases{
        {{}, 80, 75, Behaviour::automatic, true},  // Not charging at the limit
        {{start, behaviour}, 80, 0, Behaviour::none, true},
        {{start, end, behaviour}, 0, 0, Behaviour::none, false},
        {{end + "=0", start + "=101"}, 0, 0, Behaviour::automatic, false},  // outside 1..100: none
        {{"capacity=78"}, 80, 75, Behaviour::automatic, false},             // two short of the limit
        {{behaviour + "=auto [inhibit-charge] force-discharge"}, 80, 75, Behaviour::inhibitCharge, true},
        {{behaviour + "=auto inhibit-charge [force-discharge]", "status=Discharging", "power_now=9000000"},
         80,
         75,
         Behaviour::forceDischarge,
         false},
    };
    for (const Case& c : cases) {
        FakeSysfs sys("held-at-limit");
        sys.set(kBat, c.writes);
        const auto b = LinuxBatteryReader(sys.root).readQuick();
        SCOPED_TRACE(c.writes.empty() ? "" : c.writes.back());
        ASSERT_TRUE(b);
        EXPECT_EQ(b->chargeEndThresholdPct, c.endPct);
        EXPECT_EQ(b->chargeStartThresholdPct, c.startPct);
        EXPECT_EQ(b->chargeBehaviour, c.behaviour);
        EXPECT_EQ(b->isChargeHeld(), c.held);
        // Neither a held battery nor one the user drains is an adapter falling short.
        EXPECT_FALSE(b->isAdapterTooWeak());
    }
}
