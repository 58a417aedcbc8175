#pragma once

#include "BatteryReader.h"
#include "RaplPowerMeter.h"

#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>

namespace joulemap {

// The battery and adapter as the kernel shows them in sysfs: class/power_supply for the battery
// and the chargers, class/typec for ports feeding another device, class/powercap for the
// platform's own power meter.
//
// All system batteries are read and summed into one snapshot (a notebook with two batteries drains
// one of them at a time); each is also kept on its own for the health panel.
//
// Linux laptops rarely report what the adapter delivers. While plugged in, systemPowerInMw holds a
// measurement only: a charger's own power_now, else the RAPL psys meter plus the charging power.
// Without either it stays 0, and consumptionEstimateMw carries the consumption last measured on
// battery (smoothed) for the flow to build an input figure marked as an estimate.
//
// Two refreshes may overlap, so the little state kept between calls is guarded by a mutex.
class LinuxBatteryReader : public BatteryReader {
public:
    // The consumption measured on battery stands in for the adapter input for this long; an older
    // figure no longer says what the machine is doing now.
    static constexpr double kEstimateMaxAgeSeconds = 3 * 3600;
    // Time constant of the exponential smoothing of that consumption: long enough to ride out a
    // burst of work, short enough to follow a new workload within a few minutes.
    static constexpr double kSmoothingTimeConstantSeconds = 60;

    // sysRoot is where sysfs is mounted; clockSeconds gives monotonic seconds (the steady clock
    // when empty).
    explicit LinuxBatteryReader(std::filesystem::path sysRoot = "/sys",
                                std::function<double()> clockSeconds = {});

    std::optional<BatteryInfo> readQuick() override;

private:
    struct ConsumptionEstimate {
        double mw;
        double updatedSeconds;
    };

    // Both need mutex_ held.
    void fillSystemPowerIn(BatteryInfo& info);
    void rememberConsumption(double consumptionMw, double nowSeconds);

    const std::filesystem::path sysRoot_;
    const std::function<double()> clockSeconds_;
    RaplPowerMeter rapl_;
    std::mutex mutex_;
    std::optional<ConsumptionEstimate> estimate_;
};

}  // namespace joulemap
