#pragma once

#include "ChargeLimitControl.h"

#include <filesystem>
#include <vector>

namespace joulemap {

// The charge_control_*_threshold attributes of every system battery under class/power_supply.
// Several batteries (a notebook with a second pack) get the same limit; the first one's values
// are reported. Writing needs write access to the files, which a udev rule can grant to a group
// (docs/charge-limit.md).
class LinuxChargeLimitControl : public ChargeLimitControl {
public:
    // How far below a lowered end threshold the start threshold goes, so the battery is not
    // topped up after every percent it loses.
    static constexpr int kRestartGapPct = 5;

    explicit LinuxChargeLimitControl(std::filesystem::path sysRoot = "/sys");

    ChargeLimitState read() override;
    ChargeLimitState setEndThreshold(int endPct) override;

private:
    std::vector<std::filesystem::path> batteryDirs() const;

    const std::filesystem::path sysRoot_;
};

}  // namespace joulemap
