#include "ChargeLevelAlert.h"

#include "TextTranslation.h"

#include <string>

namespace joulemap {

std::optional<AlertMessage> chargeHighAlert(const BatteryInfo& battery, bool enabled, int levelPct) {
    const auto pct = battery.currentCapacityPct;
    if (!enabled || !pct || *pct < levelPct) return std::nullopt;
    if (!battery.isExternalConnected || battery.isChargeHeld() || battery.isDischargeForced()) return std::nullopt;
    return AlertMessage{kChargeHighAlertKey, withArgs(JM_TR("Alerts", "🔌 已充至 %1%"), {std::to_string(*pct)}),
                        withArgs(JM_TR("Alerts", "电量已达到提醒值 %1%，可以拔下电源。"), {std::to_string(levelPct)})};
}

std::optional<AlertMessage> chargeLowAlert(const BatteryInfo& battery, bool enabled, int levelPct) {
    const auto pct = battery.currentCapacityPct;
    if (!enabled || !pct || *pct > levelPct || battery.isCharging) return std::nullopt;
    const bool discharging =
        !battery.isExternalConnected || battery.isAdapterTooWeak() || battery.isDischargeForced();
    if (!discharging) return std::nullopt;
    return AlertMessage{kChargeLowAlertKey, withArgs(JM_TR("Alerts", "🪫 电量已降至 %1%"), {std::to_string(*pct)}),
                        withArgs(JM_TR("Alerts", "电量已降到提醒值 %1%，请接入电源。"), {std::to_string(levelPct)})};
}

}  // namespace joulemap
