#include "BatteryInfo.h"

#include "ChargeLimitState.h"

#include <algorithm>
#include <cmath>

namespace joulemap {

namespace {

constexpr double kMilliwattsPerWatt = 1000.0;
constexpr double kMicrowattsPerWatt = 1000000.0;  // mA × mV
constexpr double kGoodHealthPct = 90.0;
constexpr double kFairHealthPct = 80.0;
// Smaller discharges while plugged in are the fuel gauge's noise around a full battery, not an
// adapter falling short.
constexpr double kWeakAdapterDischargeWatts = 0.5;
// A battery at its limit may still take a trickle that keeps it there; that is not charging.
constexpr double kTrickleChargeWatts = 0.5;

}  // namespace

const BatteryInfo& BatteryInfo::unknown() {
    static const BatteryInfo value{};
    return value;
}

bool BatteryInfo::isPluggedIn() const { return isExternalConnected; }

double BatteryInfo::instantPowerWatts() const { return instantAmperageMa * voltageMv / kMicrowattsPerWatt; }

bool BatteryInfo::isInputMeasured() const { return systemPowerInMw > 0 || !isExternalConnected; }

double BatteryInfo::estimatedConsumptionWatts() const {
    return consumptionEstimateMw > 0 ? consumptionEstimateMw / kMilliwattsPerWatt : kFallbackConsumptionWatts;
}

double BatteryInfo::dischargeWatts() const {
    const double fromPowerW = std::max(0.0, -batteryPowerMw / kMilliwattsPerWatt);
    const double fromCurrentW = instantAmperageMa < 0 ? std::abs(instantPowerWatts()) : 0.0;
    return std::max(fromPowerW, fromCurrentW);
}

bool BatteryInfo::isAdapterTooWeak() const {
    return isExternalConnected && !isCharging && !isDischargeForced() && !isChargeInhibited() &&
           dischargeWatts() >= kWeakAdapterDischargeWatts;
}

bool BatteryInfo::isHeldAtLimit() const {
    if (!isExternalConnected || chargeEndThresholdPct <= 0 || chargeEndThresholdPct >= kNoChargeLimitPct) return false;
    if (!currentCapacityPct || *currentCapacityPct < chargeEndThresholdPct - 1) return false;
    const double chargeW = std::max({0.0, batteryPowerMw / kMilliwattsPerWatt, instantPowerWatts()});
    // A battery giving real power while plugged in is an adapter falling short, limit or not.
    return chargeW < kTrickleChargeWatts && dischargeWatts() < kWeakAdapterDischargeWatts;
}

bool BatteryInfo::isChargeInhibited() const {
    return isExternalConnected && chargeBehaviour == ChargeBehaviour::inhibitCharge;
}

bool BatteryInfo::isDischargeForced() const {
    return isExternalConnected && chargeBehaviour == ChargeBehaviour::forceDischarge;
}

bool BatteryInfo::isChargeHeld() const { return isHeldAtLimit() || isChargeInhibited(); }

double BatteryInfo::inputPowerWatts() const {
    if (systemPowerInMw > 0) return systemPowerInMw / kMilliwattsPerWatt;
    // The adapter's rating is what it could deliver, not what it does: without a meter the input is
    // what goes into the battery plus what the machine is estimated to consume.
    if (isExternalConnected) {
        return std::max(0.0, batteryPowerMw / kMilliwattsPerWatt) + estimatedConsumptionWatts();
    }
    return std::abs(instantPowerWatts());
}

double BatteryInfo::systemConsumedWatts() const {
    if (isExternalConnected) {
        // Power going into the battery is not consumed by the machine; power coming out of it is
        // already part of what the machine draws.
        const double charging = std::max(0.0, batteryPowerMw / kMilliwattsPerWatt);
        // Never less than what the battery alone is measured to give.
        return std::max({0.0, inputPowerWatts() - charging, dischargeWatts()});
    }
    if (systemPowerInMw > 0) return systemPowerInMw / kMilliwattsPerWatt;
    return std::abs(instantPowerWatts());
}

double BatteryInfo::stateOfHealth() const {
    // The system's own figure wins, even above 100 %: it is what the user sees elsewhere.
    if (systemHealthPct > 0) return static_cast<double>(systemHealthPct);
    if (designCapacityMah > 0) return std::clamp(maxCapacityMah / designCapacityMah * 100.0, 0.0, 100.0);
    return 0;
}

bool BatteryInfo::isHealthKnown() const { return systemHealthPct > 0 || (designCapacityMah > 0 && maxCapacityMah > 0); }

BatteryInfo::HealthStatus BatteryInfo::healthStatus() const {
    const double health = stateOfHealth();
    if (health >= kGoodHealthPct) return HealthStatus::good;
    if (health >= kFairHealthPct) return HealthStatus::fair;
    return HealthStatus::replace;
}

}  // namespace joulemap
