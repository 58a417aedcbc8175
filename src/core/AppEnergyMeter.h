#pragma once

#include "AppEnergy.h"
#include "JoulemapData.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace joulemap {

// Integrates the flow's application bands over time: each band's watts times the seconds since the
// previous flow. Keeps what has not yet been written to the history, and the totals since start.
class AppEnergyMeter {
public:
    // A gap longer than this is a suspended machine or a stalled loop, not time the flow held for.
    static constexpr double kMaxGapSeconds = 90;

    // `nowSeconds` comes from a monotonic clock. The first call only starts the clock.
    void add(const JoulemapData& flow, bool onBattery, double nowSeconds);

    // What accumulated since the previous call, largest first; empty entries are left out.
    std::vector<AppEnergy> takePending();

    // Watt-hours per name since the meter started, both power states together.
    const std::map<std::string, double>& totalsWh() const { return totalsWh_; }

private:
    std::optional<double> lastSeconds_;
    std::map<std::pair<std::string, bool>, double> pendingWh_;
    std::map<std::string, double> totalsWh_;
};

}  // namespace joulemap
