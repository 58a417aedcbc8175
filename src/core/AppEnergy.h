#pragma once

#include <string>

namespace joulemap {

// The name the hardware's own share (display, processor, graphics, the system's processes) is
// recorded under beside the applications, so the recorded energies add up to what the machine used.
inline constexpr const char* kSystemEnergyName = "系统";

// Energy one application used over a stretch of time, split by where the power came from.
struct AppEnergy {
    std::string app{};
    // True while the battery gave power (no adapter, or one too weak for the load).
    bool onBattery = false;
    double wh = 0;

    bool operator==(const AppEnergy&) const = default;
};

}  // namespace joulemap
