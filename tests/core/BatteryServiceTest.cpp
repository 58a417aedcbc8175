#include "BatteryService.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace joulemap;

namespace {

std::string readFixture(const std::string& name) {
    std::ifstream in(std::string(JOULEMAP_FIXTURES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(BatteryService, ParsesDumpOfLaptopChargingOnUsbPdAdapter) {
    const BatteryInfo info = BatteryService::parse(readFixture("ioreg/charging-usb-pd.txt"));
    EXPECT_EQ(info.cycleCount, 212);
    EXPECT_EQ(info.designCapacityMah, 6249);
    EXPECT_EQ(info.maxCapacityMah, 6075);  // raw maximum wins over the nominal capacity
    EXPECT_EQ(info.currentCapacityMah, 5812);
    EXPECT_EQ(info.designCycleCount, 1000);
    EXPECT_EQ(info.voltageMv, 12734);  // not the adapter's voltage printed before it
    EXPECT_EQ(info.instantAmperageMa, 1466);
    EXPECT_TRUE(info.isCharging);
    EXPECT_TRUE(info.isExternalConnected);
    EXPECT_EQ(info.currentCapacityPct, 91);
    EXPECT_DOUBLE_EQ(info.temperatureC, 30.55);
    EXPECT_EQ(info.adapterWatts, 96);  // from AdapterDetails, not AppleRawAdapterDetails
    EXPECT_EQ(info.timeRemainingMin, 27);
    EXPECT_EQ(info.systemPowerInMw, 42180);
    EXPECT_EQ(info.batteryPowerMw, 18650);
    EXPECT_EQ(info.systemLoadMw, 23530);       // after a dictionary nested two deep
    EXPECT_EQ(info.adapterDescription, "pd");  // a quoted value stops at its first space
    EXPECT_EQ(info.chargingProtocol, "USB-PD");
    EXPECT_TRUE(info.isPdFastCharge);
    EXPECT_FALSE(info.isProvidingPower);
}

TEST(BatteryService, ParsesDumpOfLaptopOnBattery) {
    const BatteryInfo info = BatteryService::parse(readFixture("ioreg/discharging.txt"));
    EXPECT_EQ(info.maxCapacityMah, 4500);  // no raw maximum: nominal capacity
    EXPECT_EQ(info.currentCapacityMah, 2890);
    EXPECT_EQ(info.instantAmperageMa, -1000);
    EXPECT_EQ(info.batteryPowerMw, -13500);
    EXPECT_DOUBLE_EQ(info.temperatureC, 31.87);
    EXPECT_FALSE(info.isCharging);
    EXPECT_FALSE(info.isExternalConnected);
    EXPECT_EQ(info.adapterWatts, 0);
    EXPECT_EQ(info.adapterDescription, "");
    // A 20 V adapter voltage is still in the dump, but nothing is plugged in.
    EXPECT_EQ(info.chargingProtocol, "未知");
    EXPECT_FALSE(info.isPdFastCharge);
    EXPECT_TRUE(info.isProvidingPower);  // the second port feeds a device
}

TEST(BatteryService, MissingOrMalformedValuesFallBackOneByOne) {
    EXPECT_EQ(BatteryService::parse(""), BatteryInfo::unknown());

    const BatteryInfo info = BatteryService::parse(R"(
        "CycleCount" = 12.5
        "DesignCapacity" = 5000
        "Voltage" = abc
        "Temperature" = 2.5e3
        "IsCharging" = yes
        "ExternalConnected" = "Yes"
        "AdapterDetails" = {"Watts"=96.5,"Description"=""}
        "PowerTelemetryData" = {"SystemPowerIn"=0x10,"BatteryPower"=+250}
    )");
    EXPECT_EQ(info.cycleCount, 0);
    EXPECT_EQ(info.designCapacityMah, 5000);
    EXPECT_EQ(info.voltageMv, 0);
    EXPECT_EQ(info.temperatureC, 25);
    EXPECT_FALSE(info.isCharging);
    EXPECT_TRUE(info.isExternalConnected);
    EXPECT_EQ(info.adapterWatts, 0);  // the rating is read as an integer
    EXPECT_EQ(info.adapterDescription, "");
    EXPECT_EQ(info.systemPowerInMw, 0);
    EXPECT_EQ(info.batteryPowerMw, 250);
}

TEST(BatteryService, UsbPowerDeliveryNeedsExternalPowerAndHighVoltage) {
    struct Case {
        const char* dump;
        const char* protocol;
        bool fast;
    };
    const std::vector<Case> cases = {
        {R"("ExternalConnected"=Yes "AdapterDetails"={"AdapterVoltage"=5000,"Watts"=96})", "未知", false},
        {R"("ExternalConnected"=Yes "AdapterDetails"={"AdapterVoltage"=20000,"Watts"=96})", "USB-PD", true},
        {R"("ExternalConnected"=Yes "AdapterDetails"={"AdapterVoltage"=20000,"Watts"=15})", "USB-PD", false},
        {R"("ExternalConnected"=Yes "AdapterDetails"={"AdapterVoltage"=9000,"Watts"=18})", "USB-PD", true},
        {R"("ExternalConnected"=Yes "AdapterDetails"={"Watts"=30,"UsbHvcMenu"=()})", "USB-PD", true},
        // Only the quoted key counts, and only the first voltage.
        {R"("ExternalConnected"=Yes "AdapterDetails"={"Watts"=30,"NoUsbHvcMenu"=()})", "未知", false},
        {R"("ExternalConnected"=Yes "AdapterVoltage"=5000 "AdapterVoltage"=20000)", "未知", false},
        {R"("ExternalConnected"=Yes "AdapterVoltage"="x" "AdapterVoltage"=20000)", "USB-PD", false},
        {R"("ExternalConnected"=No "AdapterDetails"={"AdapterVoltage"=20000,"Watts"=96,"UsbHvcMenu"=()})",
         "未知", false},
    };
    for (const auto& c : cases) {
        const BatteryInfo info = BatteryService::parse(c.dump);
        EXPECT_EQ(info.chargingProtocol, c.protocol) << c.dump;
        EXPECT_EQ(info.isPdFastCharge, c.fast) << c.dump;
    }
}

TEST(BatteryService, PortPowerRoleOneAnywhereMeansProvidingPower) {
    EXPECT_TRUE(
        BatteryService::parse(R"({"AFedPortPowerRole"=2},{"BFedPortPowerRole" = 1})").isProvidingPower);
    EXPECT_TRUE(BatteryService::parse(R"(FedPortPowerRole"=x, FedPortPowerRole"=12)").isProvidingPower);
    EXPECT_FALSE(BatteryService::parse(R"("FedPortPowerRole"=2,"FedPortPowerRole"="1")").isProvidingPower);
    EXPECT_FALSE(BatteryService::parse(R"("FedPortPowerRoles"=1)").isProvidingPower);
}

// The hand scanner must pick the same value as the pattern would.
TEST(BatteryService, FieldScanMatchesTheValuePattern) {
    const std::vector<std::string> texts = {
        R"("Key"="" "Key"="x")",
        R"("Key"  =  "two words")",
        R"("Key"==5)",
        R"("Key" = }, "Key" = 7)",
        "\"Key\"\n=\n\t 42\n",
        R"("Key"="a}b")",
        R"("Key"=)",
        R"("Key"=")",
        R"("Key"=" 5" "Key"=6)",
        R"(Key"=1 "Key2"=2 "Key"=3)",
        R"("Key""Key"=9)",
        "\"Key\"=\xe7\x84\xa6\xe5\x9b\xbe,next",
        R"("AdapterVoltage"=20000,"Voltage"=12000)",
        R"({"Voltage"=1},"Voltage"=2)",
        readFixture("ioreg/charging-usb-pd.txt"),
        readFixture("ioreg/discharging.txt"),
    };
    const std::vector<std::string> keys = {"Key", "Voltage", "Description", "Watts", "CycleCount"};
    for (const auto& key : keys) {
        const std::regex pattern("\"" + key + R"re("\s*=\s*"?([^\s",}]+)"?)re");
        for (const auto& text : texts) {
            std::smatch match;
            std::optional<std::string> expected;
            if (std::regex_search(text, match, pattern) && match[1].matched) expected = match[1].str();
            const auto actual = BatteryService::stringField(text, key);
            EXPECT_EQ(actual ? std::optional<std::string>(*actual) : std::nullopt, expected)
                << "key " << key << " in " << text;
        }
    }
}

TEST(BatteryService, NestedValueComesFromFirstDictionaryOfThatName) {
    using BatteryService::nestedString;
    EXPECT_EQ(nestedString(R"("D"={"A"={"B"=1},"B"=2})", "D", "B"), "1");  // first match, any depth
    EXPECT_EQ(nestedString(R"("D"={"X"={"Y"={}},"B"=2})", "D", "B"), "2");
    EXPECT_EQ(nestedString(R"("D"=5 "D" = {"B"=3})", "D", "B"), "3");
    EXPECT_EQ(nestedString(R"("D"={"A"=1} "B"=2)", "D", "B"), std::nullopt);  // outside the block
    EXPECT_EQ(nestedString(R"("D"={"A"=1} "D"={"B"=2})", "D", "B"), std::nullopt);
    EXPECT_EQ(nestedString(R"("D"={"B"=2)", "D", "B"), std::nullopt);  // never closed
    EXPECT_EQ(BatteryService::nestedInt(R"("D"={"B"=-7})", "D", "B"), -7);
    EXPECT_EQ(BatteryService::nestedInt(R"("D"={"B"=7W})", "D", "B"), std::nullopt);
}

TEST(BatteryService, NumberConversions) {
    using BatteryService::signedToDouble;
    EXPECT_EQ(signedToDouble(std::to_string(static_cast<uint64_t>(int64_t{-600}))), -600.0);
    EXPECT_EQ(signedToDouble("+600"), 600.0);
    EXPECT_EQ(signedToDouble("-600"), -600.0);
    EXPECT_EQ(signedToDouble("12.5"), 12.5);
    EXPECT_EQ(signedToDouble("18446744073709551616"), 18446744073709551616.0);  // beyond 64 bits
    for (const char* bad : {"", "12abc", "nan", "0x10", "inf", "1e400", "1,5", "--1", "."}) {
        EXPECT_EQ(signedToDouble(bad), std::nullopt) << bad;
    }
    using BatteryService::toInt;
    EXPECT_EQ(toInt("+42"), 42);
    EXPECT_EQ(toInt("-9223372036854775808"), INT64_MIN);
    for (const char* bad : {"", "+", "-", "+-4", "4.0", "9223372036854775808", "1e3", " 4"}) {
        EXPECT_EQ(toInt(bad), std::nullopt) << bad;
    }
}

TEST(BatteryService, HealthComesFromFirstMaximumCapacityWithDigits) {
    EXPECT_EQ(BatteryService::parseSystemHealthPct(readFixture("profiler/SPPowerDataType.txt")), 87);
    EXPECT_EQ(BatteryService::parseSystemHealthPct("Maximum Capacity:\n   104 %"), 104);
    EXPECT_EQ(BatteryService::parseSystemHealthPct("Maximum Capacity: n/a\nMaximum Capacity: 88%"), 88);
    EXPECT_EQ(BatteryService::parseSystemHealthPct("maximum capacity: 90%"), 0);
    EXPECT_EQ(BatteryService::parseSystemHealthPct("Maximum Capacity: 99999999999999999999%"), 0);
}
