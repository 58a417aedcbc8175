#pragma once

#include "AppShare.h"
#include "BatteryInfo.h"
#include "JoulemapData.h"
#include "MeasuredPower.h"
#include "PowerDestination.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// JSON views of the sampling records, for tools and diagnostics. Keys are the field names, in the
// records' order.
namespace joulemap {

std::string healthStatusName(BatteryInfo::HealthStatus status);  // "good", "fair", "replace"

// The fields, then the derived values under "derived" (healthStatus null when the health is unknown).
nlohmann::ordered_json toJson(const BatteryInfo& battery);
nlohmann::ordered_json toJson(const MeasuredPower& measured);  // a figure not measured is null
nlohmann::ordered_json toJson(const AppShare& share);  // an absent bundleId is null
nlohmann::ordered_json toJson(const std::vector<AppShare>& shares);
nlohmann::ordered_json toJson(const PowerDestination& destination);  // group as its raw value
// The five fields plus the derived totalPower and isCharging.
nlohmann::ordered_json toJson(const JoulemapData& data);

}  // namespace joulemap
