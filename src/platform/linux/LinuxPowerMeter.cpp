#include "LinuxPowerMeter.h"

#include "SysfsFile.h"

#include <chrono>
#include <utility>

namespace joulemap {

namespace {

namespace fs = std::filesystem;

constexpr double kMilliwattsPerWatt = 1000;
constexpr double kMicrowattsPerWatt = 1'000'000;
constexpr double kMicrowattsPerMilliwatt = 1000;
constexpr char kCardPrefix[] = "card";

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::optional<double> toWatts(const std::optional<double>& mw) {
    if (!mw) return std::nullopt;
    return *mw / kMilliwattsPerWatt;
}

// card0, card1: the devices. card0-eDP-1 and the like are its connectors.
bool isCardName(const std::string& name) {
    return name.starts_with(kCardPrefix) && name.size() > sizeof kCardPrefix - 1 &&
           name.find('-') == std::string::npos;
}

bool fileExists(const fs::path& file) {
    std::error_code ec;
    return fs::is_regular_file(file, ec);
}

}  // namespace

LinuxPowerMeter::LinuxPowerMeter(std::filesystem::path sysRoot, std::function<double()> clockSeconds)
    : sysRoot_(std::move(sysRoot)),
      clockSeconds_(clockSeconds ? std::move(clockSeconds) : std::function<double()>(steadySeconds)),
      rapl_(sysRoot_ / "class" / "powercap") {}

void LinuxPowerMeter::discoverGpus() {
    gpusSearched_ = true;
    const fs::path drm = sysRoot_ / "class" / "drm";
    for (const auto& card : SysfsFile::entryNames(drm)) {
        if (!isCardName(card)) continue;
        const fs::path hwmonDir = drm / card / "device" / "hwmon";
        for (const auto& hwmon : SysfsFile::entryNames(hwmonDir)) {
            const fs::path dir = hwmonDir / hwmon;
            // Older amdgpu and nouveau give an average, newer amdgpu the present power.
            GpuSensor sensor;
            for (const char* file : {"power1_average", "power1_input"}) {
                if (fileExists(dir / file)) {
                    sensor.powerFile = dir / file;
                    break;
                }
            }
            if (!sensor.powerFile && fileExists(dir / "energy1_input")) {
                sensor.energy.emplace(dir / "energy1_input", fs::path{});
            }
            if (sensor.powerFile || sensor.energy) gpus_.push_back(std::move(sensor));
        }
    }
}

MeasuredPower LinuxPowerMeter::sample() {
    std::lock_guard lock(mutex_);
    const double now = clockSeconds_();
    const RaplPowerMeter::Reading rapl = rapl_.sample(now);

    MeasuredPower measured;
    measured.packageWatts = toWatts(rapl.packageMw);
    measured.coreWatts = toWatts(rapl.coreMw);
    measured.uncoreWatts = toWatts(rapl.uncoreMw);
    measured.dramWatts = toWatts(rapl.dramMw);
    measured.platformWatts = toWatts(rapl.psysMw);

    if (!gpusSearched_) discoverGpus();
    // Several cards are summed; one without a figure this time leaves the sum unknown.
    double gpuWatts = 0;
    bool complete = !gpus_.empty();
    for (GpuSensor& gpu : gpus_) {
        std::optional<double> watts;
        if (gpu.powerFile) {
            const auto uw = SysfsFile::readInt(*gpu.powerFile);
            // The same bound as for the energy counters: a larger figure is a driver's filler value.
            if (uw && *uw >= 0 &&
                static_cast<double>(*uw) / kMicrowattsPerMilliwatt <= RaplPowerMeter::kMaxPlausibleMw) {
                watts = static_cast<double>(*uw) / kMicrowattsPerWatt;
            }
        } else {
            watts = toWatts(gpu.energy->sampleMw(now));
        }
        if (watts) {
            gpuWatts += *watts;
        } else {
            complete = false;
        }
    }
    if (complete) measured.gpuWatts = gpuWatts;
    return measured;
}

}  // namespace joulemap
