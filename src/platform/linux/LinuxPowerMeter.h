#pragma once

#include "PowerMeter.h"
#include "RaplPowerMeter.h"

#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace joulemap {

// The component meters of a Linux machine: the RAPL domains in /sys/class/powercap and the
// graphics cards' own sensors in hwmon under /sys/class/drm/cardN/device (amdgpu and nouveau report
// power1_average or power1_input in µW, Intel's discrete cards an energy counter energy1_input in
// µJ). Two overlapping refreshes may call it, so it is guarded by a mutex.
class LinuxPowerMeter : public PowerMeter {
public:
    // sysRoot is where sysfs is mounted; clockSeconds gives monotonic seconds (the steady clock
    // when empty).
    explicit LinuxPowerMeter(std::filesystem::path sysRoot = "/sys", std::function<double()> clockSeconds = {});

    MeasuredPower sample() override;

private:
    // One card's sensor: a power file read as is, or an energy counter averaged between samples.
    struct GpuSensor {
        std::optional<std::filesystem::path> powerFile;
        std::optional<RaplPowerMeter::EnergyCounter> energy;
    };

    void discoverGpus();

    const std::filesystem::path sysRoot_;
    const std::function<double()> clockSeconds_;
    RaplPowerMeter rapl_;
    std::mutex mutex_;
    bool gpusSearched_ = false;
    std::vector<GpuSensor> gpus_;
};

}  // namespace joulemap
