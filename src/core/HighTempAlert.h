#pragma once

#include <optional>

#include "AlertMessage.h"
#include "BatteryInfo.h"

namespace joulemap {

inline constexpr const char* kHighTempAlertKey = "highTemp";
// The threshold itself alerts: a battery at 40.0 °C is already too hot.
inline constexpr double kHighTempThresholdC = 40.0;
// No battery works above this; a higher reading comes from a faulty sensor or driver.
inline constexpr double kMaxPlausibleTempC = 120.0;

// The notification for a battery that is too hot, or nothing when it is cool enough or the
// user switched the alert off. Stateless: the notifier's cooldown keeps it from repeating.
std::optional<AlertMessage> highTempAlert(const BatteryInfo& battery, bool enabled);

}  // namespace joulemap
