#pragma once

#include "BatteryInfo.h"

#include <optional>

namespace joulemap {

// Reads the machine's battery and adapter. Absent means the machine has no battery.
class BatteryReader {
public:
    virtual ~BatteryReader() = default;
    virtual std::optional<BatteryInfo> readQuick() = 0;
};

}  // namespace joulemap
