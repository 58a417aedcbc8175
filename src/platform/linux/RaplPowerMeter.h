#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>

namespace joulemap {

// Power of the whole platform from the RAPL "psys" energy counter in /sys/class/powercap.
// The counter only accumulates energy, so a power figure needs two readings: the first sample
// sets the baseline and every later one yields the average power since the previous sample.
// Reading the counter needs permission (root-only since Linux 5.10) and not every machine has a
// psys domain; then every sample is absent. Safe to call from several threads.
class RaplPowerMeter {
public:
    // Samples closer together than this (two overlapping refreshes) reuse the last figure:
    // the counter's resolution makes a delta over a few milliseconds meaningless.
    static constexpr double kMinIntervalSeconds = 0.25;
    // A baseline older than this (the machine slept, or nobody asked for a while) is replaced
    // instead of giving an average over a span that says little about now.
    static constexpr double kMaxIntervalSeconds = 600;
    // A larger figure means the counter was reset (suspend, driver reload), not a real wrap.
    static constexpr double kMaxPlausibleMw = 1'000'000;

    // powercapDir is normally /sys/class/powercap.
    explicit RaplPowerMeter(std::filesystem::path powercapDir);

    // Average platform power in mW since the previous sample, taken at nowSeconds (monotonic).
    std::optional<double> sampleMw(double nowSeconds);

private:
    struct Reading {
        int64_t energyUj;
        double seconds;
    };

    std::optional<std::filesystem::path> findPsysDomain() const;

    const std::filesystem::path powercapDir_;
    std::mutex mutex_;
    bool searched_ = false;
    std::optional<std::filesystem::path> domain_;
    std::optional<Reading> baseline_;
    std::optional<double> lastMw_;
};

}  // namespace joulemap
