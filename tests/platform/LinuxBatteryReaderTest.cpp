#include "linux/LinuxBatteryReader.h"

#include "FakeSysfs.h"

#include <gtest/gtest.h>

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

TEST(LinuxBatteryReader, UsesTheFirstPresentSystemBatteryOnly) {
    EXPECT_FALSE(LinuxBatteryReader(sysfsFixture("desktop-mains")).readQuick());
    EXPECT_FALSE(LinuxBatteryReader(sysfsFixture("desktop-wireless-mouse")).readQuick());

    FakeSysfs sys("acpi-laptop-discharging");
    LinuxBatteryReader reader(sys.root);
    sys.write(kBat + "present", "0");
    EXPECT_FALSE(reader.readQuick());
    sys.write("class/power_supply/BAT1/type", "Battery");  // no present file counts as present
    sys.write("class/power_supply/BAT1/capacity", "40");
    EXPECT_EQ(reader.readQuick()->currentCapacityPct, 40);
    sys.write(kBat + "present", "1");
    EXPECT_EQ(reader.readQuick()->currentCapacityPct, 73);
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
    EXPECT_EQ(b->currentCapacityPct, 0);
    EXPECT_EQ(b->cycleCount, 0);
    EXPECT_DOUBLE_EQ(b->temperatureC, 0);
    EXPECT_NEAR(b->designCapacityMah, 57000000.0 / 11850, 1e-9);
    EXPECT_DOUBLE_EQ(b->maxCapacityMah, 0);
    EXPECT_EQ(b->timeRemainingMin, 0);
    EXPECT_FALSE(b->isExternalConnected);
}

TEST(LinuxBatteryReader, AdapterInputFromConsumptionLastMeasuredOnBattery) {
    FakeSysfs sys("acpi-laptop-discharging");
    double now = 0;
    LinuxBatteryReader reader(sys.root, [&] { return now; });
    reader.readQuick();  // 9.12 W on battery
    now = 30;
    plugIn(sys, "20000000");
    EXPECT_DOUBLE_EQ(reader.readQuick()->systemPowerInMw, 9120 + 20000);

    // A heavier load moves the smoothed figure part of the way.
    now = 60;
    unplug(sys, "15000000");
    reader.readQuick();
    now = 90;
    plugIn(sys, "20000000");
    const double estimateMw = reader.readQuick()->systemPowerInMw - 20000;
    EXPECT_GT(estimateMw, 9120);
    EXPECT_LT(estimateMw, 15000);

    now = 60 + LinuxBatteryReader::kEstimateMaxAgeSeconds + 1;  // too old to stand for the present
    EXPECT_DOUBLE_EQ(reader.readQuick()->systemPowerInMw, 0);
}

TEST(LinuxBatteryReader, AdapterInputPrefersThePlatformMeter) {
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
    EXPECT_DOUBLE_EQ(reader.readQuick()->systemPowerInMw, 9120 + 20000);
}
