#include "BatteryService.h"

#include <gtest/gtest.h>

#include <regex>

#include "TestSupport.h"

using namespace joulemap;

// Traps in the charging dump: the raw maximum wins over the nominal capacity, the battery voltage
// comes after the adapter's, the rating is AdapterDetails' (not AppleRawAdapterDetails'), the
// system load sits after a dictionary nested two deep, a quoted value stops at its first space.
// On battery, a 20 V adapter voltage is still in the dump but nothing is plugged in, and the
// second port feeds a device.
TEST(BatteryService, ParsesDumpsOfALaptopChargingOnUsbPdAndOnBattery) {
    EXPECT_EQ(BatteryService::parse(fixture("ioreg/charging-usb-pd.txt")),
              (BatteryInfo{212,   6249, 6075, 5812,  1000,  0,     12734, 1466,     true, true, 91,
                           30.55, 96,   27,   42180, 18650, 23530, "pd",  "USB-PD", true, false}));
    EXPECT_EQ(BatteryService::parse(fixture("ioreg/discharging.txt")),
              (BatteryInfo{803,   5103, 4500, 2890, 1000,   0,     11402, -1000,  false, false, 64,
                           31.87, 0,    173,  0,    -13500, 13500, "",    "未知", false, true}));
}

TEST(BatteryService, MissingOrMalformedValuesFallBackOneByOne) {
    EXPECT_EQ(BatteryService::parse(""), BatteryInfo::unknown());

    // The integer rating 96.5, 0x10 and "abc" are all dropped.
    EXPECT_EQ(BatteryService::parse(R"(
        "CycleCount" = 12.5
        "DesignCapacity" = 5000
        "Voltage" = abc
        "Temperature" = 2.5e3
        "IsCharging" = yes
        "ExternalConnected" = "Yes"
        "AdapterDetails" = {"Watts"=96.5,"Description"=""}
        "PowerTelemetryData" = {"SystemPowerIn"=0x10,"BatteryPower"=+250}
    )"),
              (BatteryInfo{.designCapacityMah = 5000,
                           .isExternalConnected = true,
                           .temperatureC = 25,
                           .batteryPowerMw = 250}));
}

// Filler values a damaged or hostile dump may carry: each figure reads as not reported.
TEST(BatteryService, ImplausibleValuesReadAsAbsent) {
    const char* dumps[] = {
        R"("CurrentCapacity" = -5)",
        R"("CurrentCapacity" = 250)",
        R"("Temperature" = 92233720368547758)",
        R"("Temperature" = -6000)",
        R"("Voltage" = 4294967295)",
        R"("InstantAmperage" = 9223372036854775807)",
        R"("DesignCapacity" = 9223372036854775807)",
        R"("AppleRawMaxCapacity" = 1e300)",
        R"("CycleCount" = -1)",
        R"("TimeRemaining" = 65535000)",
        R"("AdapterDetails" = {"Watts"=4294967295})",
        R"("PowerTelemetryData" = {"SystemPowerIn"=9223372036854775807,"BatteryPower"=-9223372036854775807})"};
    const BatteryInfo absent = BatteryService::parse("");
    for (const char* dump : dumps) EXPECT_EQ(BatteryService::parse(dump), absent) << dump;
}

TEST(BatteryService, UsbPowerDeliveryNeedsExternalPowerAndHighVoltage) {
    // Only the quoted key counts, and only the first voltage; unplugged, nothing is USB-PD.
    const std::tuple<const char*, std::string, bool> cases[] = {
        {R"("ExternalConnected"=Yes "AdapterDetails"={"AdapterVoltage"=5000,"Watts"=96})", "未知", false},
        {R"("ExternalConnected"=Yes "AdapterDetails"={"AdapterVoltage"=20000,"Watts"=96})", "USB-PD", true},
        {R"("ExternalConnected"=Yes "AdapterDetails"={"AdapterVoltage"=20000,"Watts"=15})", "USB-PD", false},
        {R"("ExternalConnected"=Yes "AdapterDetails"={"AdapterVoltage"=9000,"Watts"=18})", "USB-PD", true},
        {R"("ExternalConnected"=Yes "AdapterDetails"={"Watts"=30,"UsbHvcMenu"=()})", "USB-PD", true},
        {R"("ExternalConnected"=Yes "AdapterDetails"={"Watts"=30,"NoUsbHvcMenu"=()})", "未知", false},
        {R"("ExternalConnected"=Yes "AdapterVoltage"=5000 "AdapterVoltage"=20000)", "未知", false},
        {R"("ExternalConnected"=Yes "AdapterVoltage"="x" "AdapterVoltage"=20000)", "USB-PD", false},
        {R"("ExternalConnected"=No "AdapterDetails"={"AdapterVoltage"=20000,"Watts"=96,"UsbHvcMenu"=()})",
         "未知", false}};
    for (const auto& [dump, protocol, fast] : cases) {
        const BatteryInfo info = BatteryService::parse(dump);
        EXPECT_EQ(std::pair(info.chargingProtocol, info.isPdFastCharge), std::pair(protocol, fast)) << dump;
    }
    // A port power role of 1 anywhere means the laptop feeds a device.
    for (const char* dump :
         {R"({"AFedPortPowerRole"=2},{"BFedPortPowerRole" = 1})", R"(FedPortPowerRole"=x, FedPortPowerRole"=12)"}) {
        EXPECT_TRUE(BatteryService::parse(dump).isProvidingPower) << dump;
    }
    for (const char* dump : {R"("FedPortPowerRole"=2,"FedPortPowerRole"="1")", R"("FedPortPowerRoles"=1)"}) {
        EXPECT_FALSE(BatteryService::parse(dump).isProvidingPower) << dump;
    }
}

// The hand scanner must pick the same value as the pattern would.
TEST(BatteryService, FieldScanMatchesTheValuePattern) {
    const std::vector<std::string> texts = {R"("Key"="" "Key"="x")",
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
                                            fixture("ioreg/charging-usb-pd.txt")};
    for (const std::string key : {"Key", "Voltage", "Description", "Watts"}) {
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
    EXPECT_EQ(signedToDouble("12.5"), 12.5);
    EXPECT_EQ(signedToDouble("18446744073709551616"), 18446744073709551616.0);  // beyond 64 bits
    for (const char* bad : {"", "12abc", "nan", "0x10", "inf", "1e400", "1,5", "--1", ".", "+-5", "+-.5"}) {
        EXPECT_EQ(signedToDouble(bad), std::nullopt) << bad;
    }
    using BatteryService::toInt;
    EXPECT_EQ(toInt("-9223372036854775808"), INT64_MIN);
    for (const char* bad : {"", "+", "-", "+-4", "4.0", "9223372036854775808", "1e3", " 4"}) {
        EXPECT_EQ(toInt(bad), std::nullopt) << bad;
    }
}

TEST(BatteryService, HealthComesFromFirstMaximumCapacityWithDigits) {
    EXPECT_EQ(BatteryService::parseSystemHealthPct(fixture("profiler/SPPowerDataType.txt")), 87);
    EXPECT_EQ(BatteryService::parseSystemHealthPct("Maximum Capacity: n/a\nMaximum Capacity:\n 104 %"), 104);
    EXPECT_EQ(BatteryService::parseSystemHealthPct("maximum capacity: 90%"), 0);
    EXPECT_EQ(BatteryService::parseSystemHealthPct("Maximum Capacity: 99999999999999999999%"), 0);
}
