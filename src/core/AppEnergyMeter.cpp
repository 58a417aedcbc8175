#include "AppEnergyMeter.h"
#include "PowerAggregator.h"

#include <algorithm>
#include <cmath>

namespace joulemap {

namespace {
constexpr double kSecondsPerHour = 3600;
}  // namespace

void AppEnergyMeter::add(const JoulemapData& flow, bool onBattery, double nowSeconds) {
    const std::optional<double> last = lastSeconds_;
    lastSeconds_ = nowSeconds;
    if (!last) return;
    const double seconds = nowSeconds - *last;
    if (!(seconds > 0) || seconds > kMaxGapSeconds) return;

    double systemW = 0;
    const auto credit = [&](const std::string& name, double watts) {
        if (!std::isfinite(watts) || watts <= 0) return;
        const double wh = watts * seconds / kSecondsPerHour;
        pendingWh_[{name, onBattery}] += wh;
        totalsWh_[name] += wh;
    };
    for (const PowerDestination& d : flow.destinations) {
        if (d.group == PowerGroup::app) {
            // Recorded under one name in every language.
            credit(d.id == PowerAggregator::kOtherAppsId ? std::string(PowerAggregator::kOtherAppsName.source) : d.name,
                   d.power);
        } else if (d.group == PowerGroup::hardware && std::isfinite(d.power)) {
            systemW += d.power;
        }
    }
    credit(kSystemEnergyName, systemW);
}

std::vector<AppEnergy> AppEnergyMeter::takePending() {
    std::vector<AppEnergy> rows;
    rows.reserve(pendingWh_.size());
    for (const auto& [key, wh] : pendingWh_) rows.push_back({key.first, key.second, wh});
    pendingWh_.clear();
    std::stable_sort(rows.begin(), rows.end(), [](const AppEnergy& a, const AppEnergy& b) { return a.wh > b.wh; });
    return rows;
}

}  // namespace joulemap
