#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "BatteryInfo.h"

namespace joulemap {

// "45分钟", "2小时", "2小时5分".
std::string formatDuration(int64_t minutes);

// The short time-left (or time-to-full) text of the stat cards, from the snapshot and the recent
// current readings in mA (positive = charging). Falls back to the battery's own estimate when the
// current is too small to divide by.
std::string batteryTimeEstimate(const BatteryInfo& battery, const std::vector<double>& amperageSamplesMa);
// The same, but when the battery reports energies the time is energy ÷ the recent battery power in
// mW (positive = charging), as the desktop's battery indicator computes it: no voltage in between.
std::string batteryTimeEstimate(const BatteryInfo& battery, const std::vector<double>& amperageSamplesMa,
                                const std::vector<double>& powerSamplesMw);

// The last few current (or power) readings, all on one side of zero: a reading of the other sign (plugging in
// or out) drops the older ones so the estimate follows at once instead of averaging across the flip.
class AmperageWindow {
public:
    static constexpr std::size_t kCapacity = 5;

    void push(double reading);
    const std::vector<double>& samples() const { return samples_; }

private:
    std::vector<double> samples_;
};

}  // namespace joulemap
