#include "MenuBarPanelModel.h"

#include "TextTranslation.h"

#include "Accents.h"
#include "ChargeLimitModel.h"
#include "NumberFormat.h"
#include "PowerAggregator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace joulemap::MenuBarPanelModel {

namespace {

constexpr double kGoodHealthPct = 90;
constexpr double kFairHealthPct = 80;
constexpr double kMilliwattsPerWatt = 1000;
constexpr double kPercent = 100;

std::string wholeNumber(double value) {
    char buffer[320];  // the largest double has 309 integer digits
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 0);
    if (result.ec != std::errc{}) return {};  // never show what the buffer held before
    return std::string(buffer, result.ptr);
}

std::string magnitudeText(double watts) {
    std::string text = formatWatts(std::fabs(watts), false);
    text.pop_back();  // the badge draws its unit smaller
    return text;
}

std::optional<std::string_view> adviceColor(BatteryAdvisor::Advice::Severity severity) {
    using Severity = BatteryAdvisor::Advice::Severity;
    switch (severity) {
        case Severity::good:
            return kAccentGreen;
        case Severity::warn:
            return kAccentYellow;
        case Severity::critical:
            return kAccentRed;
        case Severity::info:
            break;
    }
    return std::nullopt;
}

}  // namespace

StatusPill statusPill(const BatteryInfo& battery) {
    // Held or drained on the user's say: neither charging nor a fault.
    if (const auto note = ChargeLimitModel::chargeControlNote(battery)) {
        const bool draining = battery.isDischargeForced();
        return {draining ? kAccentYellow : kAccentCyan, draining ? "arrow.down.right" : "powerplug.fill", *note};
    }
    if (battery.isCharging) return {kAccentGreen, "bolt.fill", JM_TR("MenuBarPanelModel", "充电中")};
    // Plugged in and discharging all the same: the net badge beside the pill gives the discharge.
    if (battery.isAdapterTooWeak()) {
        return {kAccentOrange, "powerplug.fill", PowerAggregator::kAdapterTooWeakText.str()};
    }
    if (battery.isExternalConnected) return {kAccentCyan, "powerplug.fill", JM_TR("MenuBarPanelModel", "已接电源")};
    return {kAccentYellow, "arrow.down.right", JM_TR("MenuBarPanelModel", "放电中")};
}

NetBadge netBadge(const BatteryInfo& battery) {
    const double watts = battery.batteryPowerMw / kMilliwattsPerWatt;
    if (watts >= 0) return {"+", magnitudeText(watts), kAccentGreen, JM_TR("MenuBarPanelModel", "电池储能")};
    return {"−", magnitudeText(watts), kAccentRed, JM_TR("MenuBarPanelModel", "电池放电")};
}

std::array<FlowRow, kFlowRows> flowRows(const JoulemapData& flow) {
    std::vector<PowerDestination> sorted = flow.destinations;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const PowerDestination& a, const PowerDestination& b) { return a.power > b.power; });
    const double total = flow.totalPower();
    std::array<FlowRow, kFlowRows> rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i >= sorted.size()) {
            rows[i].placeholder = true;
            continue;
        }
        const PowerDestination& d = sorted[i];
        rows[i].colorHex = d.color;
        rows[i].name = d.name;
        rows[i].fraction = total > 0 ? std::clamp(d.power / total, 0.0, 1.0) : 0;
        rows[i].powerText = formatWatts(d.power, false);
    }
    return rows;
}

HealthFigure healthFigure(const BatteryInfo& battery) {
    double percent = 0;
    if (battery.systemHealthPct >= 1) {
        percent = static_cast<double>(battery.systemHealthPct);
    } else if (battery.designCapacityMah > 0) {
        percent = std::clamp(battery.maxCapacityMah / battery.designCapacityMah * kPercent, 0.0, kPercent);
    }
    // The colour follows the figure the user reads, so 79.5 shows as a yellow 80.
    const auto rounded = static_cast<double>(std::llround(percent));
    const std::string_view color = rounded >= kGoodHealthPct   ? kAccentGreen
                                   : rounded >= kFairHealthPct ? kAccentYellow
                                                               : kAccentRed;
    return {"heart.text.square", formatPercent(std::llround(percent)), JM_TR("MenuBarPanelModel", "健康度"), color};
}

Panel panel(const BatteryInfo& battery, const JoulemapData& flow, bool hasBattery,
            const std::vector<BatteryAdvisor::Advice>& advices) {
    Panel p;
    if (hasBattery) {
        p.percent = battery.currentCapacityPct ? std::to_string(*battery.currentCapacityPct)
                                               : std::string(kUnknownFigure);
        p.pill = statusPill(battery);
        p.badge = netBadge(battery);
    } else {
        BatteryInfo mains;
        mains.isExternalConnected = true;
        p.percent = kUnknownFigure;
        p.pill = statusPill(mains);
        p.badge = {"", std::string(kUnknownFigure), "", kNoBatteryCaption.str()};
    }
    p.showUsbWarning = battery.isProvidingPower;
    p.inputColorHex = flow.inputColor;
    p.inputName = flow.inputName;
    p.inputTotalText = formatWatts(flow.totalPower(), true);
    p.rows = flowRows(flow);
    if (hasBattery) {
        p.health = std::array<HealthFigure, 3>{
            healthFigure(battery),
            HealthFigure{"arrow.triangle.2.circlepath",
                         battery.cycleCount > 0 ? std::to_string(battery.cycleCount) : std::string(kUnknownFigure),
                         JM_TR("MenuBarPanelModel", "循环"), std::nullopt},
            // 0 ℃ is what a battery without a plausible temperature reading reports.
            HealthFigure{"thermometer.medium",
                         battery.temperatureC != 0 ? wholeNumber(battery.temperatureC) + "°C"
                                                   : std::string(kUnknownFigure),
                         JM_TR("MenuBarPanelModel", "温度"), std::nullopt},
        };
    }
    for (const auto& advice : advices) p.advice.push_back({advice.icon, advice.text, adviceColor(advice.severity)});
    return p;
}

}  // namespace joulemap::MenuBarPanelModel
