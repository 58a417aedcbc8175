#pragma once

#include "BatteryAdvisor.h"
#include "TextTranslation.h"
#include "BatteryInfo.h"
#include "JoulemapData.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the tray panel shows, decided without a window: which sections appear, the texts of every
// row and the colours that carry meaning. The panel widget only lays these out and paints them.
namespace joulemap::MenuBarPanelModel {

// The flow list always has this many rows, padded with empty ones, so the panel's height does
// not jump as applications come and go.
inline constexpr std::size_t kFlowRows = 10;

inline constexpr SourceText kFlowHeader = JM_TR_NOOP("MenuBarPanelModel", "功率去向");
inline constexpr SourceText kHealthHeader = JM_TR_NOOP("MenuBarPanelModel", "电池健康");
inline constexpr SourceText kUsbOutputWarning = JM_TR_NOOP("MenuBarPanelModel", "检测到 USB-C 端口正在对外供电，电池消耗会加快");
inline constexpr std::string_view kUsbOutputSymbol = "arrow.up.arrow.down.circle.fill";

struct StatusPill {
    std::string_view colorHex;
    std::string_view symbol;
    std::string label;
    bool operator==(const StatusPill&) const = default;
};

// Net battery power: into the battery is green "+", out of it red "−".
struct NetBadge {
    std::string_view sign;
    std::string magnitude;  // "12.3", without unit
    std::string_view colorHex;  // empty: tertiary text
    std::string caption;
    bool operator==(const NetBadge&) const = default;
};

struct FlowRow {
    bool placeholder = false;  // an empty row that only keeps the card's height
    std::string colorHex;      // empty for a placeholder
    std::string name;
    double fraction = 0;  // of the total, 0..1, the bar's filled part
    std::string powerText;  // "4.2W"
    bool operator==(const FlowRow&) const = default;
};

struct HealthFigure {
    std::string_view symbol;
    std::string value;
    std::string caption;
    std::optional<std::string_view> valueColorHex;  // nullopt: primary text
    bool operator==(const HealthFigure&) const = default;
};

struct AdviceRow {
    std::string icon;
    std::string text;
    std::optional<std::string_view> colorHex;  // nullopt: primary text
    bool operator==(const AdviceRow&) const = default;
};

// Without a battery there is no charge and no battery power to show: the figures read as unknown
// and the pill says the machine runs on mains.
inline constexpr std::string_view kUnknownFigure = "—";
inline constexpr SourceText kNoBatteryCaption = JM_TR_NOOP("MenuBarPanelModel", "无电池");

struct Panel {
    std::string percent;  // "85", shown large beside a small "%"; kUnknownFigure without a battery
    StatusPill pill;
    NetBadge badge;
    bool showUsbWarning = false;
    std::string inputColorHex;
    std::string inputName;
    std::string inputTotalText;  // "42.4 W"
    std::array<FlowRow, kFlowRows> rows;
    std::optional<std::array<HealthFigure, 3>> health;  // only with a battery
    std::vector<AdviceRow> advice;
};

StatusPill statusPill(const BatteryInfo& battery);
NetBadge netBadge(const BatteryInfo& battery);
// The largest destinations first (equal powers keep their order), at most kFlowRows, then padding.
std::array<FlowRow, kFlowRows> flowRows(const JoulemapData& flow);
// The system's own health figure when it has one (1 or more), else the measured capacity against
// the design capacity; whole percent, halves away from zero. Green from 90, yellow from 80.
HealthFigure healthFigure(const BatteryInfo& battery);
Panel panel(const BatteryInfo& battery, const JoulemapData& flow, bool hasBattery,
            const std::vector<BatteryAdvisor::Advice>& advices);

}  // namespace joulemap::MenuBarPanelModel
