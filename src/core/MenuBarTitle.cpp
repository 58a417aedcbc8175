#include "MenuBarTitle.h"

#include "MenuBarPanelModel.h"
#include "NumberFormat.h"

namespace joulemap {

namespace {
constexpr const char* kBolt = "⚡";
}

std::string menuBarTitle(const BatteryInfo& battery, bool hasBattery) {
    if (!hasBattery) return kBolt;
    // An unknown charge reads as unknown, never as a false "0%".
    const std::string percent = battery.currentCapacityPct ? formatPercent(*battery.currentCapacityPct)
                                                           : std::string(MenuBarPanelModel::kUnknownFigure);
    // A battery a limit holds may take a trickle; that is no charging to announce.
    return battery.isCharging && !battery.isHeldAtLimit() ? kBolt + percent : percent;
}

}  // namespace joulemap
