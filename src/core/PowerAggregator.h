#pragma once

#include "AppShare.h"
#include "BatteryInfo.h"
#include "JoulemapData.h"
#include "MeasuredPower.h"
#include "PowerDestination.h"
#include "TextTranslation.h"

#include <string>
#include <string_view>
#include <vector>

// Turns one battery snapshot, the latest application shares and whatever the machine meters itself
// into the flow the views draw. The destinations always add up to the figure the source shows (each
// band is rounded to 0.1 W so that the rounded bands still add up). Hardware components the machine
// meters show their own figure; the rest of the hardware is split by fixed proportions and marked
// as estimated.
namespace joulemap::PowerAggregator {

// At most this many applications get a destination of their own; the rest share "其他应用".
inline constexpr std::size_t kMaxAppDestinations = 5;
inline constexpr std::string_view kOtherAppsId = "other";
// Plugged in, and the battery still has to help: the adapter gives less than the machine draws.
inline constexpr SourceText kAdapterTooWeakText = JM_TR_NOOP("PowerAggregator", "充电器功率不足");
// The destination's name; the energy history keeps it as written, in any language.
inline constexpr SourceText kOtherAppsName = JM_TR_NOOP("PowerAggregator", "其他应用");

JoulemapData aggregate(const BatteryInfo& battery, const std::vector<AppShare>& appShares);
JoulemapData aggregate(const BatteryInfo& battery, const std::vector<AppShare>& appShares,
                       const MeasuredPower& measured);

// For a machine without a battery. Without meters a fixed 4 W estimate is split; with the platform
// meter (psys) that is the total; with only component meters the total is what they measure.
JoulemapData aggregateDesktop(const std::vector<AppShare>& appShares);
JoulemapData aggregateDesktop(const std::vector<AppShare>& appShares, const MeasuredPower& measured);

// The source's second line while external power is connected, e.g. "USB-PD 96W 快充 · 实际 45.3W";
// the rating comes first and is only a rating. An input that is not measured reads "估算" instead
// of "实际".
std::string adapterLabel(const BatteryInfo& battery, double inputW);
std::string adapterLabel(const BatteryInfo& battery, double inputW, bool inputMeasured);

// Display, cpu and gpu, the applications and "其他应用", sorted by power (largest first, stable);
// the powers add up to systemW (at least 0.1 W) rounded to 0.1 W.
std::vector<PowerDestination> buildDestinations(double systemW, const std::vector<AppShare>& appShares);
std::vector<PowerDestination> buildDestinations(double systemW, const std::vector<AppShare>& appShares,
                                                const MeasuredPower& measured);

std::string appIcon(std::string_view appName);
// The icon table's colour, else one of a fixed palette chosen by a stable hash of the name, so
// applications can be told apart from each other and from the hardware.
std::string appColor(std::string_view appName);

}  // namespace joulemap::PowerAggregator
