#pragma once

#include "MeasuredPower.h"

namespace joulemap {

// Reads the power meters the machine has for its components. Each call gives the averages since
// the previous call; the first call only sets the baselines.
class PowerMeter {
public:
    virtual ~PowerMeter() = default;
    virtual MeasuredPower sample() = 0;
};

}  // namespace joulemap
