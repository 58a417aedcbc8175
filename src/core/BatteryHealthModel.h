#pragma once

#include "BatteryInfo.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What the battery health card shows, decided without a window: the health figure, its word and
// colours, and the four figure rows.
namespace joulemap::BatteryHealthModel {

inline constexpr std::string_view kTitle = "电池健康";
inline constexpr std::string_view kRingCaption = "健康度";

// The system's own health figure when it reports one, else the measured capacity against the
// design capacity, held within 0..100 (0 without a design capacity).
double healthPercent(const BatteryInfo& battery);

// The share of the ring to fill, 0..1; a system figure above 100 fills it once, not more.
double ringFraction(double healthPercent);

// The figure in the ring: whole percent, halves away from zero (89.5 → "90").
std::string ringLabel(double healthPercent);

// "良好" from 90, "一般" from 80, "建议更换" below; judged on the unrounded figure, so 89.5 is
// "一般" although the ring says 90.
std::string_view statusText(double healthPercent);

// Ring, figure and status badge colour.
std::string_view statusColorHex(BatteryInfo::HealthStatus status);

// Red from 41 °C, yellow from 36 °C; nullopt below that means the ordinary text colour.
std::optional<std::string_view> temperatureColorHex(double temperatureC);

struct MetricRow {
    std::string_view label;
    std::string value;
    std::optional<std::string_view> valueColorHex;  // nullopt: primary text

    bool operator==(const MetricRow&) const = default;
};

// Cycle count, design capacity, current maximum capacity, temperature, in that order.
std::array<MetricRow, 4> metricRows(const BatteryInfo& battery);

}  // namespace joulemap::BatteryHealthModel
