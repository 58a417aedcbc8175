#include "BatteryHealthModel.h"

#include "Accents.h"
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

// One decimal whatever the process locale says.
std::string oneDecimal(double value) {
    // Room for any double: 309 integer digits, sign, point and the decimal.
    char buffer[320];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    if (result.ec != std::errc{}) return {};  // never show what the buffer held before
    return std::string(buffer, result.ptr);
}

}  // namespace

double healthPercent(const BatteryInfo& battery) { return battery.stateOfHealth(); }

double ringFraction(double healthPercent) { return std::clamp(healthPercent / 100.0, 0.0, 1.0); }

std::string ringLabel(double healthPercent) { return std::to_string(std::llround(healthPercent)); }

std::string_view statusText(double healthPercent) {
    if (healthPercent >= kGoodHealthPct) return "良好";
    if (healthPercent >= kFairHealthPct) return "一般";
    return "建议更换";
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

std::array<MetricRow, 4> metricRows(const BatteryInfo& battery) {
    return {{
        {"循环次数", std::to_string(battery.cycleCount) + " 次", std::nullopt},
        {"设计容量", formatCapacityMah(battery.designCapacityMah), std::nullopt},
        {"当前最大", formatCapacityMah(battery.maxCapacityMah), std::nullopt},
        {"温度", oneDecimal(battery.temperatureC) + " ℃", temperatureColorHex(battery.temperatureC)},
    }};
}

}  // namespace joulemap::BatteryHealthModel
