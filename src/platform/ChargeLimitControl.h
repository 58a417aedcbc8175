#pragma once

#include "ChargeLimitState.h"

namespace joulemap {

// Reads and sets the battery's charge limit (end threshold). Writes only what the user may write
// as themself: nothing is run with other privileges and no password is asked for.
class ChargeLimitControl {
public:
    // At kNoChargeLimitPct the start threshold goes to its lowest value too.
    static constexpr int kNoLimitPct = kNoChargeLimitPct;

    virtual ~ChargeLimitControl() = default;
    virtual ChargeLimitState read() = 0;
    // Writes the end threshold (and lowers the start threshold where it would sit at or above
    // it), then reads back: the result is what the kernel reports, which may differ from the
    // request when the driver rounds or clamps it; issue is writeRefused when a write failed.
    virtual ChargeLimitState setEndThreshold(int endPct) = 0;
};

}  // namespace joulemap
