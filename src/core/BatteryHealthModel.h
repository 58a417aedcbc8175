#pragma once

#include "BatteryInfo.h"
#include "TextTranslation.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the battery health card shows, decided without a window: the health figure, its word and
// colours, and the four figure rows.
namespace joulemap::BatteryHealthModel {

inline constexpr SourceText kTitle = JM_TR_NOOP("BatteryHealthModel", "电池健康");
inline constexpr SourceText kRingCaption = JM_TR_NOOP("BatteryHealthModel", "健康度");
// Shown for a figure the battery does not report, instead of a 0 that would read as a dead battery.
inline constexpr SourceText kUnknownText = JM_TR_NOOP("BatteryHealthModel", "未知");
inline constexpr std::string_view kUnknownRingLabel = "—";

// The system's own health figure when it reports one, else the measured capacity against the
// design capacity, held within 0..100 (0 without a design capacity).
double healthPercent(const BatteryInfo& battery);

// The share of the ring to fill, 0..1; a system figure above 100 fills it once, not more.
double ringFraction(double healthPercent);

// The figure in the ring: whole percent, halves away from zero (89.5 → "90").
std::string ringLabel(double healthPercent);

// "良好" from 90, "一般" from 80, "建议更换" below; judged on the unrounded figure, so 89.5 is
// "一般" although the ring says 90.
std::string statusText(double healthPercent);

// Ring, figure and status badge colour.
std::string_view statusColorHex(BatteryInfo::HealthStatus status);

// The same, for a whole snapshot: "未知" and a neutral colour when the battery reports neither a
// health figure nor both capacities.
std::string ringLabel(const BatteryInfo& battery);
std::string statusText(const BatteryInfo& battery);
std::string_view statusColorHex(const BatteryInfo& battery);

// Red from 41 °C, yellow from 36 °C; nullopt below that means the ordinary text colour.
std::optional<std::string_view> temperatureColorHex(double temperatureC);

struct MetricRow {
    std::string label;
    std::string value;
    std::optional<std::string_view> valueColorHex;  // nullopt: primary text

    bool operator==(const MetricRow&) const = default;
};

// Cycle count, design capacity, current maximum capacity, temperature, in that order. A capacity or
// temperature the driver does not report reads "未知".
std::array<MetricRow, 4> metricRows(const BatteryInfo& battery);

// With two or more batteries, one row each: its name, and its health and cycle count ("92% · 312 次",
// or "未知 · 312 次"). Empty for a single battery, whose figures are the card's own.
std::vector<MetricRow> batteryRows(const BatteryInfo& battery);

// Under the ring when the driver applies a limit: "已达充电上限 80%" while it holds the battery (or
// what the user set the driver to do instead), else "充电上限" and its value. Nothing without a limit.
std::optional<MetricRow> chargeLimitRow(const BatteryInfo& battery);

}  // namespace joulemap::BatteryHealthModel
