#include "BatteryHealthModel.h"

#include "Accents.h"
#include "ChargeLimitModel.h"
#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <system_error>
#include <cmath>

namespace joulemap::BatteryHealthModel {

namespace {

constexpr double kGoodHealthPct = 90.0;
constexpr double kFairHealthPct = 80.0;
constexpr double kHotTemperatureC = 41.0;
constexpr double kWarmTemperatureC = 36.0;
constexpr std::string_view kUnknownColorHex = "#8e8e93";

// One decimal whatever the process locale says.
std::string oneDecimal(double value) {
    // Room for any double: 309 integer digits, sign, point and the decimal.
    char buffer[320];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    if (result.ec != std::errc{}) return {};  // never show what the buffer held before
    return std::string(buffer, result.ptr);
}

// "312 次"; the record keeps 0 where the driver reports no count (ACPI does so when it keeps none)
std::string cycles(int64_t count) {
    return count > 0 ? withArgs(JM_TR("BatteryHealthModel", "%1 次"), {std::to_string(count)}) : kUnknownText.str();
}

}  // namespace

double healthPercent(const BatteryInfo& battery) { return battery.stateOfHealth(); }

double ringFraction(double healthPercent) { return std::clamp(healthPercent / 100.0, 0.0, 1.0); }

std::string ringLabel(double healthPercent) { return std::to_string(std::llround(healthPercent)); }

std::string statusText(double healthPercent) {
    if (healthPercent >= kGoodHealthPct) return JM_TR("BatteryHealthModel", "良好");
    if (healthPercent >= kFairHealthPct) return JM_TR("BatteryHealthModel", "一般");
    return JM_TR("BatteryHealthModel", "建议更换");
}

std::string_view statusColorHex(BatteryInfo::HealthStatus status) {
    switch (status) {
        case BatteryInfo::HealthStatus::good:
            return kAccentGreen;
        case BatteryInfo::HealthStatus::fair:
            return kAccentYellow;
        case BatteryInfo::HealthStatus::replace:
            break;
    }
    return kAccentRed;
}

std::optional<std::string_view> temperatureColorHex(double temperatureC) {
    if (temperatureC >= kHotTemperatureC) return kAccentRed;
    if (temperatureC >= kWarmTemperatureC) return kAccentYellow;
    return std::nullopt;
}

std::string ringLabel(const BatteryInfo& battery) {
    return battery.isHealthKnown() ? ringLabel(healthPercent(battery)) : std::string(kUnknownRingLabel);
}

std::string statusText(const BatteryInfo& battery) {
    return battery.isHealthKnown() ? statusText(healthPercent(battery)) : kUnknownText.str();
}

std::string_view statusColorHex(const BatteryInfo& battery) {
    return battery.isHealthKnown() ? statusColorHex(battery.healthStatus()) : kUnknownColorHex;
}

std::array<MetricRow, 4> metricRows(const BatteryInfo& battery) {
    const auto capacity = [](double mah) { return mah > 0 ? formatCapacityMah(mah) : kUnknownText.str(); };
    // The record keeps 0 for a temperature the driver does not report; no battery in use is at 0 °C.
    const bool temperatureKnown = battery.temperatureC != 0;
    return {{
        {JM_TR("BatteryHealthModel", "循环次数"), cycles(battery.cycleCount), std::nullopt},
        {JM_TR("BatteryHealthModel", "设计容量"), capacity(battery.designCapacityMah), std::nullopt},
        {JM_TR("BatteryHealthModel", "当前最大"), capacity(battery.maxCapacityMah), std::nullopt},
        {JM_TR("BatteryHealthModel", "温度"), temperatureKnown ? oneDecimal(battery.temperatureC) + " ℃" : kUnknownText.str(),
         temperatureKnown ? temperatureColorHex(battery.temperatureC) : std::nullopt},
    }};
}

std::vector<MetricRow> batteryRows(const BatteryInfo& battery) {
    std::vector<MetricRow> rows;
    if (battery.batteries.size() < 2) return rows;
    for (const SystemBattery& unit : battery.batteries) {
        BatteryInfo alone;
        alone.designCapacityMah = unit.designCapacityMah;
        alone.maxCapacityMah = unit.maxCapacityMah;
        const std::string health =
            alone.isHealthKnown() ? ringLabel(healthPercent(alone)) + "%" : kUnknownText.str();
        rows.push_back({unit.name, health + " · " + cycles(unit.cycleCount),
                        alone.isHealthKnown() ? std::optional(statusColorHex(alone.healthStatus())) : std::nullopt});
    }
    return rows;
}

std::optional<MetricRow> chargeLimitRow(const BatteryInfo& battery) {
    if (const auto note = ChargeLimitModel::chargeControlNote(battery)) return MetricRow{*note, {}, std::nullopt};
    const int end = battery.chargeEndThresholdPct;
    if (end <= 0 || end >= ChargeLimitModel::kOffPct) return std::nullopt;
    return MetricRow{ChargeLimitModel::kTitle.str(), formatPercent(end), std::nullopt};
}

}  // namespace joulemap::BatteryHealthModel
