#pragma once

#include <cstdint>
#include <string>

namespace joulemap {

// One battery and adapter snapshot. Every source (registry dump, sysfs) fills the same fields;
// a missing reading keeps the value of unknown().
struct BatteryInfo {
    enum class HealthStatus { good, fair, replace };

    int64_t cycleCount = 0;
    double designCapacityMah = 0;
    double maxCapacityMah = 0;
    double currentCapacityMah = 0;
    int64_t designCycleCount = 0;
    int64_t systemHealthPct = 0;  // 0 = not available
    double voltageMv = 0;
    double instantAmperageMa = 0;  // signed, positive while charging
    bool isCharging = false;
    bool isExternalConnected = false;
    int64_t currentCapacityPct = 0;
    double temperatureC = 0;
    double adapterWatts = 0;
    int64_t timeRemainingMin = 0;
    double systemPowerInMw = 0;  // what the adapter delivers to the machine
    double batteryPowerMw = 0;   // signed, positive into the battery
    double systemLoadMw = 0;
    std::string adapterDescription;
    std::string chargingProtocol = "未知";
    bool isPdFastCharge = false;
    bool isProvidingPower = false;

    static const BatteryInfo& unknown();

    bool isPluggedIn() const;
    double instantPowerWatts() const;
    double inputPowerWatts() const;
    double systemConsumedWatts() const;
    double stateOfHealth() const;
    HealthStatus healthStatus() const;

    bool operator==(const BatteryInfo&) const = default;
};

}  // namespace joulemap
