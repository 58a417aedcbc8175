#include "BatteryInfo.h"

#include <algorithm>
#include <cmath>

namespace joulemap {

namespace {

constexpr double kMilliwattsPerWatt = 1000.0;
constexpr double kMicrowattsPerWatt = 1000000.0;  // mA × mV
constexpr double kGoodHealthPct = 90.0;
constexpr double kFairHealthPct = 80.0;

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
        return std::max(0.0, inputPowerWatts() - charging);
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
