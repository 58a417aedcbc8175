#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace joulemap {

// Powers from the RAPL energy counters in /sys/class/powercap: the processor packages, their
// cores and uncore (the integrated graphics on client parts), the memory (dram) and the whole
// platform (psys). Intel and AMD processors both appear there under the same domain names.
// A counter only accumulates energy, so a power figure needs two readings: the first sample sets
// the baseline and every later one yields the average power since the previous sample. Reading the
// counters needs permission (root-only since Linux 5.10) and not every machine has every domain;
// such figures are absent. Safe to call from several threads.
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

    // Average powers in mW since the previous sample; a domain the machine lacks or cannot be read
    // is absent. Several packages (sockets) are summed.
    struct Reading {
        std::optional<double> packageMw;
        std::optional<double> coreMw;
        std::optional<double> uncoreMw;
        std::optional<double> dramMw;
        std::optional<double> psysMw;
    };

    // powercapDir is normally /sys/class/powercap.
    explicit RaplPowerMeter(std::filesystem::path powercapDir);

    // Average platform (psys) power in mW since the previous sample, taken at nowSeconds (monotonic).
    std::optional<double> sampleMw(double nowSeconds);
    // Every domain at once.
    Reading sample(double nowSeconds);

    // One energy counter in µJ that wraps at a known range: the average power between readings.
    class EnergyCounter {
    public:
        // energyFile holds the count in µJ; rangeFile the value at which it starts over (may be empty).
        EnergyCounter(std::filesystem::path energyFile, std::filesystem::path rangeFile);
        std::optional<double> sampleMw(double nowSeconds);

    private:
        struct Sample {
            int64_t energyUj;
            double seconds;
        };
        std::filesystem::path energyFile_;
        std::filesystem::path rangeFile_;
        std::optional<Sample> baseline_;
        std::optional<double> lastMw_;
    };

private:
    enum class Domain { package, core, uncore, dram, psys };
    struct Zone {
        Domain domain;
        EnergyCounter counter;
    };

    void discover();

    const std::filesystem::path powercapDir_;
    std::mutex mutex_;
    bool searched_ = false;
    std::vector<Zone> zones_;
};

}  // namespace joulemap
