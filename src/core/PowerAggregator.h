#pragma once

#include "AppShare.h"
#include "BatteryInfo.h"
#include "JoulemapData.h"
#include "PowerDestination.h"

#include <string>
#include <string_view>
#include <vector>

// Turns one battery snapshot and the latest application shares into the flow the views draw.
// Hardware figures are an estimate: the measured system power is split by fixed proportions.
namespace joulemap::PowerAggregator {

// At most this many applications get a destination of their own; the rest are dropped.
inline constexpr std::size_t kMaxAppDestinations = 5;

JoulemapData aggregate(const BatteryInfo& battery, const std::vector<AppShare>& appShares);

// For a machine without a battery: nothing is measured, so a fixed 4 W is split.
JoulemapData aggregateDesktop(const std::vector<AppShare>& appShares);

// The source's second line while external power is connected, e.g. "USB-PD 96W 快充 · 实际 45.3W".
std::string adapterLabel(const BatteryInfo& battery, double inputW);

// Display, cpu and gpu, then the applications, sorted by power (largest first, stable).
std::vector<PowerDestination> buildDestinations(double systemW, const std::vector<AppShare>& appShares);

std::string appIcon(std::string_view appName);
std::string appColor(std::string_view appName);

}  // namespace joulemap::PowerAggregator
