#include "DestinationListModel.h"

#include "TextTranslation.h"

#include "NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace joulemap::DestinationListModel {

Model build(const std::vector<PowerDestination>& destinations) {
    Model model;
    for (const PowerDestination& destination : destinations) model.totalWatts += destination.power;

    for (std::size_t i = 0; i < kAllPowerGroups.size(); ++i) {
        Block& block = model.blocks[i];
        block.group = kAllPowerGroups[i];
        for (const PowerDestination& destination : destinations) {
            if (destination.group != block.group) continue;
            block.items.push_back(destination);
            block.subtotalWatts += destination.power;
        }
        std::stable_sort(block.items.begin(), block.items.end(),
                         [](const PowerDestination& a, const PowerDestination& b) { return a.power > b.power; });
        if (model.totalWatts > 0) {
            block.sharePercent = static_cast<int64_t>(std::trunc(block.subtotalWatts / model.totalWatts * 100.0));
        }
    }
    return model;
}

double rowBarFraction(double powerWatts, double totalWatts) {
    return powerWatts / std::max(totalWatts, kMinBarTotalWatts);
}

double blockOpacity(const Block& block, const std::optional<std::string>& highlightedId,
                    const std::optional<PowerGroup>& highlightedGroup) {
    if (highlightedGroup && *highlightedGroup != block.group) return kFadedBlockOpacity;
    if (highlightedId) {
        const bool holdsIt = std::any_of(block.items.begin(), block.items.end(),
                                         [&](const PowerDestination& item) { return item.id == *highlightedId; });
        if (!holdsIt) return kFadedBlockOpacity;
    }
    return 1.0;
}

bool isRowEmphasised(const PowerDestination& item, const std::optional<std::string>& highlightedId,
                     const std::optional<PowerGroup>& highlightedGroup) {
    return (highlightedId && *highlightedId == item.id) || (highlightedGroup && *highlightedGroup == item.group);
}

double rowOpacity(const PowerDestination& item, const std::optional<std::string>& highlightedId,
                  const std::optional<PowerGroup>& highlightedGroup) {
    const bool somethingEmphasised = highlightedId.has_value() || highlightedGroup.has_value();
    if (somethingEmphasised && !isRowEmphasised(item, highlightedId, highlightedGroup)) return kFadedRowOpacity;
    return 1.0;
}

std::string totalText(double totalWatts) { return withArgs(JM_TR("DestinationListModel", "合计 %1"), {formatWatts(totalWatts, true)}); }

std::string blockLabel(PowerGroup group) { return groupIcon(group) + " " + groupName(group); }

std::string subtotalText(const Block& block) {
    return formatWatts(block.subtotalWatts, true) + " · " + formatPercent(block.sharePercent);
}

std::string rowPowerText(double powerWatts) { return formatWatts(powerWatts, true); }

}  // namespace joulemap::DestinationListModel
