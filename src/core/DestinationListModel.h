#pragma once

#include "PowerDestination.h"
#include "TextTranslation.h"
#include "PowerGroup.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the destination list shows, decided without a window: the blocks per group with their
// subtotals and shares, the row bars, and which block or row fades while something is emphasised.
namespace joulemap::DestinationListModel {

inline constexpr SourceText kTitle = JM_TR_NOOP("DestinationListModel", "功率去向明细");
inline constexpr double kFadedBlockOpacity = 0.4;
inline constexpr double kFadedRowOpacity = 0.3;
// Floor of the total a row bar is measured against, so an all-zero snapshot divides by something.
inline constexpr double kMinBarTotalWatts = 0.001;

struct Block {
    PowerGroup group = PowerGroup::hardware;
    std::vector<PowerDestination> items;  // largest power first; equal powers keep their order
    double subtotalWatts = 0;
    int64_t sharePercent = 0;  // of the total, cut toward zero; 0 when the total is not above 0
};

struct Model {
    double totalWatts = 0;
    // Always all three groups, in the fixed order hardware, app, battery, even when empty.
    std::array<Block, 3> blocks;
};

Model build(const std::vector<PowerDestination>& destinations);

// The filled share of a row's bar, power ÷ max(total, 0.001).
double rowBarFraction(double powerWatts, double totalWatts);

// A block fades when another group is emphasised, or when a destination is emphasised that is
// not among its items.
double blockOpacity(const Block& block, const std::optional<std::string>& highlightedId,
                    const std::optional<PowerGroup>& highlightedGroup);

// A row is emphasised when it is the highlighted destination or belongs to the highlighted group.
bool isRowEmphasised(const PowerDestination& item, const std::optional<std::string>& highlightedId,
                     const std::optional<PowerGroup>& highlightedGroup);

// Rows fade only while something is emphasised and they are not.
double rowOpacity(const PowerDestination& item, const std::optional<std::string>& highlightedId,
                  const std::optional<PowerGroup>& highlightedGroup);

// "合计 12.3 W"
std::string totalText(double totalWatts);
// The group's symbol and name: "⚙️ 硬件".
std::string blockLabel(PowerGroup group);
// "12.3 W · 45%"
std::string subtotalText(const Block& block);
// "4.5 W"
std::string rowPowerText(double powerWatts);

}  // namespace joulemap::DestinationListModel
