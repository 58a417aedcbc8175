#pragma once

#include "SystemBattery.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace joulemap {

// What a machine consumes when nothing says otherwise: the figure a desktop without meters shows,
// and the consumption assumed while charging before anything was measured on battery.
inline constexpr double kFallbackConsumptionWatts = 4.0;

// One battery and adapter snapshot. Every source (registry dump, sysfs) fills the same fields;
// a missing reading keeps the value of unknown(). A machine with several batteries shows them
// summed as one, the way the desktop's own battery indicator does.
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
    // Absent when the driver gives no plausible charge: an unknown charge must not read as an
    // empty battery.
    std::optional<int64_t> currentCapacityPct;
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
    // Energies when the driver reports them (0 otherwise): time left is energy ÷ power, with no
    // voltage in between.
    double energyNowMwh = 0;
    double energyFullMwh = 0;
    // While plugged in without a meter: the consumption measured on battery shortly before,
    // smoothed; 0 when there is none.
    double consumptionEstimateMw = 0;
    // Each battery on its own; empty when the source knows only the sum.
    std::vector<SystemBattery> batteries{};

    static const BatteryInfo& unknown();

    bool isPluggedIn() const;
    double instantPowerWatts() const;
    // While plugged in, the measured adapter input, else the charging power plus the best
    // consumption estimate (see isInputMeasured). On battery, the discharge power.
    double inputPowerWatts() const;
    // False when the input while plugged in is an estimate rather than a meter's reading.
    bool isInputMeasured() const;
    // The consumption estimate in use while plugged in without a meter.
    double estimatedConsumptionWatts() const;
    // What the battery gives, in watts (0 while it charges or idles): the larger of the two readings.
    double dischargeWatts() const;
    // Plugged in and yet the battery gives power: the adapter cannot cover the load (a phone
    // charger on a notebook). What the battery gives is then part of what the machine consumes.
    bool isAdapterTooWeak() const;
    double systemConsumedWatts() const;
    double stateOfHealth() const;
    // False when neither the system's figure nor both capacities are known: stateOfHealth() then
    // reads 0, which must not be shown or judged as a worn battery.
    bool isHealthKnown() const;
    HealthStatus healthStatus() const;

    bool operator==(const BatteryInfo&) const = default;
};

}  // namespace joulemap
