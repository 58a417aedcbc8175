#pragma once

#include "PowerGroup.h"

#include <string>

namespace joulemap {

// One place the power goes to: a component, an application or the battery being charged.
struct PowerDestination {
    std::string id{};
    std::string name{};
    std::string icon{};
    std::string color{};  // "#rrggbb"
    PowerGroup group = PowerGroup::hardware;
    double power = 0;  // W, one decimal
    // The figure is a share by fixed proportions, not a meter's reading of this component.
    bool estimated = false;

    bool operator==(const PowerDestination&) const = default;
};

}  // namespace joulemap
