#include "MainViewModel.h"

#include "TextTranslation.h"

#include "Accents.h"
#include "ChargeLimitModel.h"
#include "MenuBarPanelModel.h"
#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <system_error>
#include <cmath>

namespace joulemap::MainViewModel {

namespace {

constexpr double kMilliwattsPerWatt = 1000;

constexpr SourceText kInputTitle = JM_TR_NOOP("MainViewModel", "%1 入口功率");
constexpr SourceText kBatteryLevelTitle = JM_TR_NOOP("MainViewModel", "🔋 电池电量");
constexpr SourceText kSystemTitle = JM_TR_NOOP("MainViewModel", "⚙️ 系统消耗");
constexpr SourceText kNetTitle = JM_TR_NOOP("MainViewModel", "🔋 电池净功率");
constexpr SourceText kSystemSubtitle = JM_TR_NOOP("MainViewModel", "占入口 %1");
constexpr SourceText kStoringText = JM_TR_NOOP("MainViewModel", "电池在储能");
constexpr SourceText kSupplyingText = JM_TR_NOOP("MainViewModel", "电池在供电");
constexpr SourceText kShareText = JM_TR_NOOP("MainViewModel", "占总功率 %1");
// A figure split by fixed proportions rather than metered says so.
constexpr SourceText kEstimateSuffix = JM_TR_NOOP("MainViewModel", " · 估算");
constexpr std::string_view kWattUnit = "W";
constexpr std::string_view kPercentUnit = "%";

// One decimal, whatever the process locale says.
std::string oneDecimal(double value) {
    // Room for any double: 309 integer digits, sign, point and the decimal.
    char buffer[320];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    if (result.ec != std::errc{}) return {};  // never show what the buffer held before
    return std::string(buffer, result.ptr);
}

}  // namespace

int64_t systemSharePercent(double systemWatts, double inputWatts) {
    if (!(inputWatts > 0)) return 0;
    const double share = systemWatts / inputWatts * 100;
    if (std::isnan(share)) return 0;
    return static_cast<int64_t>(std::clamp(std::trunc(share), 0.0, static_cast<double>(kMaxSystemSharePercent)));
}

std::vector<StatCardContent> statCards(const JoulemapData& flow, const BatteryInfo& battery, bool hasBattery,
                                       const std::string& estimateText) {
    const double inputW = flow.totalPower();
    // Taken from the balanced flow, so the card agrees with the diagram beside it (a battery
    // reading taken apart from the bands would not, and a desktop's empty snapshot would read 0 W).
    const double systemW = flow.consumedPower();

    std::vector<StatCardContent> cards;
    cards.push_back({
        .title = withArgs(kInputTitle.str(), {flow.inputIcon}),
        .value = oneDecimal(inputW),
        .unit = std::string(kWattUnit),
        .colorHex = flow.inputColor,
        .subtitle = flow.inputSub,
        .history = CardHistory::input,
        .maxHistory = std::nullopt,
    });
    if (hasBattery) {
        cards.push_back({
            .title = kBatteryLevelTitle.str(),
            .value = battery.currentCapacityPct ? std::to_string(*battery.currentCapacityPct)
                                                : std::string(MenuBarPanelModel::kUnknownFigure),
            .unit = std::string(kPercentUnit),
            .colorHex = std::string(kAccentCyan),
            .subtitle = estimateText,
            .history = CardHistory::batteryPercent,
            .maxHistory = kBatteryLevelScaleMax,
        });
    }
    cards.push_back({
        .title = kSystemTitle.str(),
        .value = oneDecimal(systemW),
        .unit = std::string(kWattUnit),
        .colorHex = std::string(kAccentOrange),
        .useThemeValueColor = true,
        .subtitle = withArgs(kSystemSubtitle.str(), {formatPercent(systemSharePercent(systemW, inputW))}),
        .history = CardHistory::system,
        .maxHistory = std::nullopt,
    });
    if (hasBattery) {
        const double netW = battery.batteryPowerMw / kMilliwattsPerWatt;
        const bool storing = netW >= 0;
        cards.push_back({
            .title = kNetTitle.str(),
            .value = formatSignedWatts(netW),
            .unit = std::string(kWattUnit),
            .colorHex = std::string(storing ? kAccentGreen : kAccentRed),
            // A battery the limit or the user holds neither stores nor supplies: it says why.
            .subtitle = ChargeLimitModel::chargeControlNote(battery).value_or(
                (storing ? kStoringText : kSupplyingText).str()),
            .history = CardHistory::net,
            .maxHistory = std::nullopt,
        });
    }
    return cards;
}

std::optional<TooltipContent> tooltip(const JoulemapData& flow, const std::optional<std::string>& highlightedId) {
    if (!highlightedId) return std::nullopt;
    const auto it = std::find_if(flow.destinations.begin(), flow.destinations.end(),
                                 [&](const PowerDestination& d) { return d.id == *highlightedId; });
    if (it == flow.destinations.end()) return std::nullopt;

    const double total = flow.totalPower();
    const double share = total > 0 ? std::round(it->power / total * 100) : 0;
    const int64_t sharePercent = std::isfinite(share) ? static_cast<int64_t>(share) : 0;
    return TooltipContent{
        .icon = it->icon,
        .name = it->name,
        .powerText = oneDecimal(it->power),
        .colorHex = it->color,
        .shareText = withArgs(kShareText.str(), {formatPercent(sharePercent)}),
        .groupText = groupIcon(it->group) + " " + groupName(it->group) +
                     (it->estimated ? kEstimateSuffix.str() : std::string()),
    };
}

void HighlightState::onSankeyHover(const std::optional<std::string>& hovered) {
    if (hovered) group.reset();
    id = hovered;
}

void HighlightState::onSankeySelect(const std::optional<std::string>& clicked) {
    if (clicked == id) {
        id.reset();
    } else {
        id = clicked;
    }
}

void HighlightState::onListHoverItem(const std::optional<std::string>& hovered) { id = hovered; }

void HighlightState::onListHoverGroup(const std::optional<PowerGroup>& hovered) {
    if (hovered) id.reset();
    group = hovered;
}

}  // namespace joulemap::MainViewModel
