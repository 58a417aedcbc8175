#pragma once

#include "PowerDestination.h"

#include <string>
#include <vector>

namespace joulemap {

// One flow snapshot: a single source on the left, its destinations on the right.
struct JoulemapData {
    std::string inputName{};
    std::string inputSub{};
    std::string inputColor{};
    std::string inputIcon{};
    std::vector<PowerDestination> destinations{};
    // False when the total is an estimate (no meter for what the adapter or mains deliver), so
    // whatever republishes it can say so.
    bool inputMeasured = true;

    double totalPower() const;
    // What the machine itself consumes: the total less what flows into the battery.
    double consumedPower() const;
    bool isCharging() const;

    // Shown before the first real snapshot arrives.
    static JoulemapData placeholder();

    bool operator==(const JoulemapData&) const = default;
};

}  // namespace joulemap
