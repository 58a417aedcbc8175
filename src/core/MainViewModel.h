#pragma once

#include "BatteryInfo.h"
#include "JoulemapData.h"
#include "PowerGroup.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the main window shows, decided without a window: the statistic cards, the tooltip of the
// highlighted destination, and how pointer events from the diagram and the list move the highlight.
namespace joulemap::MainViewModel {

// The system share on the card is held here so an absurd reading cannot widen the card.
inline constexpr int64_t kMaxSystemSharePercent = 999;
inline constexpr double kBatteryLevelScaleMax = 100;

// Which of the model's rolling histories a card draws as its sparkline.
enum class CardHistory { input, batteryPercent, system, net };

struct StatCardContent {
    std::string title;
    std::string value;
    std::string unit;
    std::string colorHex;
    bool useThemeValueColor = false;  // value in primary text instead of the card colour
    std::string subtitle;
    CardHistory history = CardHistory::input;
    std::optional<double> maxHistory;  // fixed top of the sparkline; absent = the series' maximum

    bool operator==(const StatCardContent&) const = default;
};

// The system consumption as a share of the input: truncated, held within 0..999, 0 when the input
// is not above 0.
int64_t systemSharePercent(double systemWatts, double inputWatts);

// Input and system always; the battery level (second) and the net battery power (last) only with a
// battery. `estimateText` is the model's time-left text, the battery level card's subtitle.
std::vector<StatCardContent> statCards(const JoulemapData& flow, const BatteryInfo& battery, bool hasBattery,
                                       const std::string& estimateText);

struct TooltipContent {
    std::string icon;
    std::string name;
    std::string powerText;  // "12.3", the unit is drawn apart
    std::string colorHex;
    std::string shareText;  // "占总功率 42%"
    std::string groupText;  // "🟦 应用", "⚙️ 硬件 · 估算" for a figure that is not metered

    bool operator==(const TooltipContent&) const = default;
};

inline constexpr std::string_view kTooltipUnit = "W";

// The tooltip of the destination called `highlightedId`; absent when nothing is highlighted or the
// destination is no longer in the flow.
std::optional<TooltipContent> tooltip(const JoulemapData& flow, const std::optional<std::string>& highlightedId);

// The emphasis shared by the diagram and the list. Both report every pointer move, so the last
// event wins; a destination and a group are never emphasised by the same hover.
struct HighlightState {
    std::optional<std::string> id;
    std::optional<PowerGroup> group;

    // Leaving the diagram reports nothing and so clears the destination.
    void onSankeyHover(const std::optional<std::string>& hovered);
    // A click on the emphasised destination releases it; a click on empty space clears it.
    void onSankeySelect(const std::optional<std::string>& clicked);
    void onListHoverItem(const std::optional<std::string>& hovered);
    void onListHoverGroup(const std::optional<PowerGroup>& hovered);

    bool operator==(const HighlightState&) const = default;
};

}  // namespace joulemap::MainViewModel
