#pragma once

#include "AlertMessage.h"
#include "BatteryInfo.h"

#include <optional>

namespace joulemap {

inline constexpr const char* kChargeHighAlertKey = "chargeHigh";
inline constexpr const char* kChargeLowAlertKey = "chargeLow";
inline constexpr int kDefaultChargeHighAlertPct = 80;
inline constexpr int kDefaultChargeLowAlertPct = 20;

// The charge has reached the user's upper level while on the adapter. Nothing while a charge limit
// holds the battery there (it stops by itself) or while the user has it discharge. Stateless, like
// the other checks: the notifier's cooldown keeps it from repeating.
std::optional<AlertMessage> chargeHighAlert(const BatteryInfo& battery, bool enabled, int levelPct);

// The charge has fallen to the user's lower level while the battery is giving power.
std::optional<AlertMessage> chargeLowAlert(const BatteryInfo& battery, bool enabled, int levelPct);

}  // namespace joulemap
