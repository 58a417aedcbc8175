#pragma once

#include <algorithm>
#include <optional>

namespace joulemap {

// Component powers the machine meters itself (RAPL energy counters, the GPU driver's sensor),
// averaged over the interval since the previous reading. A figure the machine cannot measure,
// or whose first reading only set the baseline, is absent: never 0.
struct MeasuredPower {
    std::optional<double> packageWatts{};   // all processor packages together
    std::optional<double> coreWatts{};      // the cores, part of the package
    std::optional<double> uncoreWatts{};    // the integrated graphics on client parts, part of the package
    std::optional<double> dramWatts{};      // memory, outside the package
    std::optional<double> platformWatts{};  // psys: the whole platform, what the machine draws
    std::optional<double> gpuWatts{};       // a graphics card's own sensor

    // Graphics: the card's own sensor, else the integrated graphics' plane of the package.
    std::optional<double> graphicsWatts() const { return gpuWatts ? gpuWatts : uncoreWatts; }

    // CPU/system: the package plus the memory it drives, less the integrated graphics when that is
    // shown as the graphics figure (it is metered inside the package).
    std::optional<double> cpuWatts() const {
        if (!packageWatts) return std::nullopt;
        const double graphicsInPackage = gpuWatts ? 0 : uncoreWatts.value_or(0);
        return std::max(0.0, *packageWatts - graphicsInPackage) + dramWatts.value_or(0);
    }

    bool hasComponents() const { return cpuWatts().has_value() || graphicsWatts().has_value(); }

    bool operator==(const MeasuredPower&) const = default;
};

}  // namespace joulemap
