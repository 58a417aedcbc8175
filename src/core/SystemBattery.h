#pragma once

#include <cstdint>
#include <string>

namespace joulemap {

// One of the machine's batteries on its own, for the health panel: the snapshot sums them all.
// 0 means the driver does not report the figure.
struct SystemBattery {
    std::string name{};  // the kernel's name, "BAT0"
    int64_t currentCapacityPct = 0;
    double designCapacityMah = 0;
    double maxCapacityMah = 0;
    int64_t cycleCount = 0;
    double temperatureC = 0;

    bool operator==(const SystemBattery&) const = default;
};

}  // namespace joulemap
