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
    // What the driver is told to do while plugged in (sysfs charge_behaviour); none when it
    // offers no choice.
    enum class ChargeBehaviour { none, automatic, inhibitCharge, forceDischarge };

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
    std::optional<int64_t> currentCapacityPct{};
    double temperatureC = 0;
    double adapterWatts = 0;
    int64_t timeRemainingMin = 0;
    double systemPowerInMw = 0;  // what the adapter delivers to the machine
    double batteryPowerMw = 0;   // signed, positive into the battery
    double systemLoadMw = 0;
    std::string adapterDescription{};
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
    // Charge thresholds the driver applies (1..100); 0 when it has none. Charging stops at the end
    // threshold and resumes below the start threshold.
    int chargeEndThresholdPct = 0;
    int chargeStartThresholdPct = 0;
    ChargeBehaviour chargeBehaviour = ChargeBehaviour::none;

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
    // Never while the user asked the driver to hold or drain the battery: that is no fault.
    bool isAdapterTooWeak() const;
    // Plugged in, an end threshold below 100 set, the charge at it (one percent short counts) and
    // the battery neither charging nor discharging to speak of: the limit is doing its work.
    bool isHeldAtLimit() const;
    // Plugged in with charging switched off by the user (charge_behaviour inhibit-charge).
    bool isChargeInhibited() const;
    // Plugged in and told to run from the battery (charge_behaviour force-discharge).
    bool isDischargeForced() const;
    // Held at a limit or charging inhibited: advice about plugging in or unplugging has no place.
    bool isChargeHeld() const;
    double systemConsumedWatts() const;
    double stateOfHealth() const;
    // False when neither the system's figure nor both capacities are known: stateOfHealth() then
    // reads 0, which must not be shown or judged as a worn battery.
    bool isHealthKnown() const;
    HealthStatus healthStatus() const;

    bool operator==(const BatteryInfo&) const = default;
};

}  // namespace joulemap
