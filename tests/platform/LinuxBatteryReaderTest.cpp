#include "linux/LinuxBatteryReader.h"

#include "FakeSysfs.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using joulemap::BatteryInfo;
using joulemap::LinuxBatteryReader;
using joulemap::test::FakeSysfs;
using joulemap::test::sysfsFixture;

namespace {

const std::string kBat = "class/power_supply/BAT0/";
const std::string kAdapter = "class/power_supply/ADP1/";
const std::string kGauge = "class/power_supply/bq27541-0/";
const std::string kPd = "class/power_supply/ucsi-source-psy-USBC000:001/";
const std::string kPsys = "class/powercap/intel-rapl:1/";

// The figures most cases check, in one line: charge, voltage, design/full/present capacity, battery
// power and current, minutes left, temperature and the measured input.
std::string figures(const BatteryInfo& b) {
    std::ostringstream out;
    out.precision(7);
    out << (b.currentCapacityPct ? std::to_string(*b.currentCapacityPct) : "?") << "% " << b.voltageMv
        << "mV " << b.designCapacityMah << '/' << b.maxCapacityMah << '/' << b.currentCapacityMah << "mAh "
        << b.batteryPowerMw << "mW " << b.instantAmperageMa << "mA " << b.timeRemainingMin << "min "
        << b.temperatureC << "C in " << b.systemPowerInMw << "mW";
    return out.str();
}

// The ACPI laptop of the fixtures on the test's clock, moved between battery and adapter as its
// user would.
struct Laptop {
    FakeSysfs sys{"acpi-laptop-discharging"};
    double now = 0;
    LinuxBatteryReader reader{sys.root, [this] { return now; }};

    BatteryInfo at(double seconds, bool pluggedIn, const std::string& batteryUw) {
        now = seconds;
        sys.set("", {kAdapter + "online=" + (pluggedIn ? "1" : "0"),
                     kBat + "status=" + (pluggedIn ? "Charging" : "Discharging"),
                     kBat + "power_now=" + batteryUw});
        return reader.readQuick().value_or(BatteryInfo{});
    }
};

}  // namespace

TEST(LinuxBatteryReader, AcpiLaptopOnBatteryConvertsEnergyAndSignsTheRate) {
    const auto b = LinuxBatteryReader(sysfsFixture("acpi-laptop-discharging")).readQuick();
    ASSERT_TRUE(b);
    // µWh over the 11.4 V design voltage, not over the sagging cell voltage; 37.449 Wh at 9.12 W.
    EXPECT_EQ(figures(*b), "73% 11850mV 5000/4500/3285mAh -9120mW -769.6203mA 246min 0C in 0mW");
    EXPECT_FALSE(b->isExternalConnected);  // both chargers offline
}

TEST(LinuxBatteryReader, UsbPdAdapterRatingProtocolAndPorts) {
    FakeSysfs sys("acpi-laptop-pd-charging");
    LinuxBatteryReader reader(sys.root);
    const auto adapter = [&] {
        const auto b = reader.readQuick();
        return std::tuple(b->isExternalConnected, b->adapterWatts, b->adapterDescription, b->chargingProtocol,
                          b->isPdFastCharge, b->isProvidingPower);
    };
    const std::string port = "ucsi-source-psy-USBC000:001";
    // No meter, nothing measured on battery yet: no input figure. Port1 would source, but nothing
    // is attached.
    EXPECT_EQ(figures(*reader.readQuick()), "74% 12300mV 5000/4500/3300mAh 24600mW 2000mA 0min 0C in 0mW");
    EXPECT_EQ(adapter(), std::tuple(true, 65.0, port, "USB-PD", true, false));

    sys.set(kPd, {"voltage_max=5000000", "current_max=3000000", "online=2"});  // PPS online too
    EXPECT_EQ(adapter(), std::tuple(true, 15.0, port, "USB-PD", false, false));
    sys.write(kPd + "usb_type", "[C] PD PD_PPS");  // PD known to the port but not in use
    EXPECT_EQ(adapter(), std::tuple(true, 15.0, port, "未知", false, false));
    sys.write("class/typec/port1-partner/type", "phone");
    EXPECT_EQ(adapter(), std::tuple(true, 15.0, port, "未知", false, true));
}

TEST(LinuxBatteryReader, FuelGaugeWithSignedCurrentAndItsOwnTimeEstimate) {
    FakeSysfs sys("fuel-gauge-discharging");
    LinuxBatteryReader reader(sys.root);
    // No power_now: current × voltage. The gauge's own estimate wins over charge ÷ current.
    EXPECT_EQ(figures(*reader.readQuick()),
              "58% 3842mV 3000/2850/1653mAh -1582.904mW -412mA 241min 28.7C in 0mW");

    sys.write(kGauge + "status", "Not charging");  // no direction: keep the sign
    EXPECT_DOUBLE_EQ(reader.readQuick()->instantAmperageMa, -412);
    sys.write(kGauge + "status", "Charging");
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
    // The charge is 57.449 / 74.3 Wh, the voltage that of the battery carrying the larger current,
    // the time what energy ÷ power gives for both: 57.449 Wh at 15 W, 229.8 min.
    EXPECT_EQ(figures(*b), "77% 11850mV 7000/6416.667/4951.667mAh -15000mW -1259.62mA 229min 0C in 0mW");
    EXPECT_EQ(std::tuple(b->energyNowMwh, b->energyFullMwh, b->cycleCount),
              std::tuple(57449.0, 74300.0, 300));
    ASSERT_EQ(b->batteries.size(), 2u);
    EXPECT_EQ(b->batteries[0], (joulemap::SystemBattery{"BAT0", 73, 5000, 4500, 112, 0}));
    EXPECT_EQ(std::tuple(b->batteries[1].name, b->batteries[1].designCapacityMah),
              std::tuple("BAT1", 2000.0));

    sys.write(kBat + "present", "0");
    EXPECT_EQ(reader.readQuick()->currentCapacityPct, 87);
    sys.write(bat1 + "type", "Mains");
    EXPECT_FALSE(reader.readQuick());
}

TEST(LinuxBatteryReader, GarbageOrMissingAttributesFallBackOneByOne) {
    FakeSysfs sys("acpi-laptop-discharging");
    // temp/x puts a directory where a file belongs.
    sys.set(kBat, {"capacity=73%", "cycle_count=99999999999999999999", "voltage_min_design=0",
                   "energy_full=", "temp/x=1", "power_now"});
    sys.write(kAdapter + "online", "yes");
    const auto b = LinuxBatteryReader(sys.root).readQuick();
    ASSERT_TRUE(b);
    // The charge unknown, not an empty battery; the design voltage falls back to voltage_now.
    EXPECT_EQ(figures(*b), "?% 11850mV 4810.127/0/3160.253mAh 0mW 0mA 0min 0C in 0mW");
    EXPECT_EQ(b->cycleCount, 0);
    EXPECT_FALSE(b->isExternalConnected);
}

TEST(LinuxBatteryReader, ConsumptionLastMeasuredOnBatteryTravelsAsAnEstimate) {
    Laptop laptop;
    laptop.at(0, false, "9120000");
    // Nothing measured the input.
    const BatteryInfo b = laptop.at(30, true, "20000000");
    EXPECT_EQ(std::tuple(b.systemPowerInMw, b.consumptionEstimateMw), std::tuple(0.0, 9120.0));

    // A heavier load moves the smoothed figure part of the way.
    laptop.at(60, false, "15000000");
    const double estimateMw = laptop.at(90, true, "20000000").consumptionEstimateMw;
    EXPECT_GT(estimateMw, 9120);
    EXPECT_LT(estimateMw, 15000);

    // Too old to stand for the present.
    EXPECT_EQ(laptop.at(60 + LinuxBatteryReader::kEstimateMaxAgeSeconds + 1, true, "20000000")
                  .consumptionEstimateMw,
              0);
}

TEST(LinuxBatteryReader, MeasuredInputFromTheChargerOrThePlatformMeter) {
    Laptop laptop;
    laptop.sys.set(kPsys, {"name=psys", "energy_uj=1000000"});
    laptop.at(0, false, "9120000");                     // 9.12 W remembered, meter baseline taken
    laptop.sys.write(kPsys + "energy_uj", "81000000");  // 80 J in 10 s
    EXPECT_DOUBLE_EQ(laptop.at(10, true, "20000000").systemPowerInMw, 8000 + 20000);

    laptop.sys.remove(kPsys + "energy_uj");  // as when the counter is root-only
    const BatteryInfo b = laptop.at(20, true, "20000000");
    EXPECT_EQ(std::tuple(b.systemPowerInMw, b.consumptionEstimateMw), std::tuple(0.0, 9120.0));

    laptop.sys.write(kAdapter + "power_now", "31500000");  // a charger metering itself
    EXPECT_DOUBLE_EQ(laptop.at(20, true, "20000000").systemPowerInMw, 31500);
}

// Values real drivers have been seen to report for a field they do not know: all-ones words,
// negative errors, overflowing counters. Each must read as absent, never as a figure.
TEST(LinuxBatteryReader, ImplausibleReadingsReadAsAbsent) {
    using B = BatteryInfo;
    const std::string huge = "9223372036854775807", allOnes = "4294967295";
    const char* acpi = "acpi-laptop-discharging";
    const char* fuel = "fuel-gauge-discharging";
    const struct {
        const char* fixture;
        std::vector<std::string> writes;
        std::vector<double B::*> zero;  // the fields that must read as absent
    } cases[] = {
        {fuel, {kGauge + "temp=" + huge}, {&B::temperatureC}},
        {fuel, {kGauge + "temp=-500"}, {&B::temperatureC}},
        {acpi, {kBat + "power_now=" + huge}, {&B::batteryPowerMw, &B::instantAmperageMa}},
        {fuel, {kGauge + "current_now=" + allOnes}, {&B::batteryPowerMw, &B::instantAmperageMa}},
        {acpi, {kBat + "voltage_now=" + allOnes}, {&B::voltageMv, &B::instantAmperageMa}},
        {fuel,
         {kGauge + "voltage_now=" + allOnes, kGauge + "current_now=" + allOnes},
         {&B::voltageMv, &B::batteryPowerMw}},
        {acpi, {kBat + "energy_full=" + huge}, {&B::maxCapacityMah, &B::energyFullMwh}},
        {acpi,
         {kBat + "voltage_min_design=" + allOnes, kBat + "voltage_now=" + allOnes},
         {&B::designCapacityMah}},
        {fuel, {kGauge + "charge_full_design=" + huge}, {&B::designCapacityMah}},
        {acpi, {kAdapter + "online=1", kAdapter + "power_now=" + huge}, {&B::systemPowerInMw}},
    };
    const auto read = [](const char* fixture, const std::vector<std::string>& writes) {
        FakeSysfs sys(fixture);
        sys.set("", writes);
        const auto b = LinuxBatteryReader(sys.root).readQuick();
        EXPECT_TRUE(b) << writes.front();
        return b.value_or(BatteryInfo{});
    };
    for (const auto& c : cases) {
        const BatteryInfo b = read(c.fixture, c.writes);
        for (const auto field : c.zero) EXPECT_EQ(b.*field, 0) << c.writes.front();
    }
    for (const char* pct : {"-5", "250"})
        EXPECT_FALSE(read(acpi, {kBat + "capacity=" + pct}).currentCapacityPct);
    // An absurd estimate of the gauge's own gives way to charge ÷ current; a trickle: decades left.
    EXPECT_EQ(read(fuel, {kGauge + "time_to_empty_now=" + huge}).timeRemainingMin, 240);
    EXPECT_EQ(read(acpi, {kBat + "power_now=1"}).timeRemainingMin, 0);
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
    const std::string behaviour = "charge_behaviour=auto ";
    const struct {
        std::vector<std::string> writes;
        int endPct, startPct;
        Behaviour behaviour;
        bool held;
    } cases[] = {
        {{}, 80, 75, Behaviour::automatic, true},  // Not charging at the limit
        {{start, "charge_behaviour"}, 80, 0, Behaviour::none, true},
        {{start, end, "charge_behaviour"}, 0, 0, Behaviour::none, false},
        {{end + "=0", start + "=101"}, 0, 0, Behaviour::automatic, false},  // outside 1..100: none
        {{"capacity=78"}, 80, 75, Behaviour::automatic, false},             // two short of the limit
        {{behaviour + "[inhibit-charge] force-discharge"}, 80, 75, Behaviour::inhibitCharge, true},
        {{behaviour + "inhibit-charge [force-discharge]", "status=Discharging", "power_now=9000000"},
         80,
         75,
         Behaviour::forceDischarge,
         false},
    };
    for (const auto& c : cases) {
        FakeSysfs sys("held-at-limit");
        sys.set(kBat, c.writes);
        const auto b = LinuxBatteryReader(sys.root).readQuick();
        SCOPED_TRACE(c.writes.empty() ? "" : c.writes.back());
        ASSERT_TRUE(b);
        // Neither a held battery nor one the user drains is an adapter falling short.
        EXPECT_EQ(std::tuple(b->chargeEndThresholdPct, b->chargeStartThresholdPct, b->chargeBehaviour,
                             b->isChargeHeld(), b->isAdapterTooWeak()),
                  std::tuple(c.endPct, c.startPct, c.behaviour, c.held, false));
    }
}
