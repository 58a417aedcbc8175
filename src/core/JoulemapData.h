#pragma once

#include "PowerDestination.h"

#include <string>
#include <vector>

namespace joulemap {

// One flow snapshot: a single source on the left, its destinations on the right.
struct JoulemapData {
    std::string inputName;
    std::string inputSub;
    std::string inputColor;
    std::string inputIcon;
    std::vector<PowerDestination> destinations;

    double totalPower() const;
    // What the machine itself consumes: the total less what flows into the battery.
    double consumedPower() const;
    bool isCharging() const;

    // Shown before the first real snapshot arrives.
    static const JoulemapData& placeholder();

    bool operator==(const JoulemapData&) const = default;
};

}  // namespace joulemap
