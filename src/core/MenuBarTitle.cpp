#include "MenuBarTitle.h"

#include "NumberFormat.h"

namespace joulemap {

namespace {
constexpr const char* kBolt = "⚡";
}

std::string menuBarTitle(const BatteryInfo& battery, bool hasBattery) {
    if (!hasBattery) return kBolt;
    const std::string percent = formatPercent(battery.currentCapacityPct);
    return battery.isCharging ? kBolt + percent : percent;
}

}  // namespace joulemap
