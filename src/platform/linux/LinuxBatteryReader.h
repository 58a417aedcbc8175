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
// Linux laptops rarely report what the adapter delivers. Left at 0, a charging laptop would
// show an input of 0 W beside a 20 W battery band, so while plugged in systemPowerInMw is rebuilt
// from the best real measurement at hand: the RAPL psys meter plus the charging power, else the
// consumption last measured on battery plus the charging power, else it stays 0.
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
