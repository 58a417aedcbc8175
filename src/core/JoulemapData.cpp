#include "JoulemapData.h"
#include "PowerAggregator.h"
#include "TextTranslation.h"

#include <algorithm>

namespace joulemap {

double JoulemapData::totalPower() const {
    double total = 0;
    for (const PowerDestination& destination : destinations) {
        total += destination.power;
    }
    return total;
}

double JoulemapData::consumedPower() const {
    double consumed = 0;
    for (const PowerDestination& destination : destinations) {
        if (destination.group != PowerGroup::battery) consumed += destination.power;
    }
    return consumed;
}

bool JoulemapData::isCharging() const {
    return std::any_of(destinations.begin(), destinations.end(),
                       [](const PowerDestination& d) { return d.group == PowerGroup::battery; });
}

JoulemapData JoulemapData::placeholder() {
    // A plausible charging notebook, in the language in use, so the first frame has a shape before any reading arrives.
    return JoulemapData{
        JM_TR("PowerAggregator", "充电器"),
        "USB-C · 30W",
        "#30d158",
        "\u26A1",
        {
            {"battery", JM_TR("PowerAggregator", "电池充电"), "\U0001F50B", "#ffd60a", PowerGroup::battery, 9.0},
            {"display", JM_TR("PowerAggregator", "显示屏"), "\U0001F5A5", "#64d2ff", PowerGroup::hardware, 5.0},
            {"cpu", JM_TR("PowerAggregator", "CPU/系统"), "\u26A1", "#ff9f0a", PowerGroup::hardware, 4.0},
            {"chrome", "Chrome", "\U0001F310", "#0a84ff", PowerGroup::app, 3.5},
            {"gpu", "GPU", "\u25C8", "#bf5af2", PowerGroup::hardware, 2.0},
            {"vscode", "VS Code", "\u2318", "#5ac8fa", PowerGroup::app, 1.8},
            {"wifi", JM_TR("PowerAggregator", "WiFi/外设"), "\U0001F4E1", "#ff375f", PowerGroup::hardware, 1.2},
            {"other", PowerAggregator::kOtherAppsName.str(), "\u00B7", "#8e8e93", PowerGroup::app, 2.5},
        },
    };
}

}  // namespace joulemap
