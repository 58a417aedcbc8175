#include "RaplPowerMeter.h"

#include "SysfsFile.h"

#include <utility>

namespace joulemap {

namespace {
constexpr char kPsysDomainName[] = "psys";
constexpr double kMicrowattsPerMilliwatt = 1000;
}  // namespace

RaplPowerMeter::RaplPowerMeter(std::filesystem::path powercapDir) : powercapDir_(std::move(powercapDir)) {}

std::optional<std::filesystem::path> RaplPowerMeter::findPsysDomain() const {
    for (const auto& name : SysfsFile::entryNames(powercapDir_)) {
        const auto dir = powercapDir_ / name;
        if (SysfsFile::readText(dir / "name") == kPsysDomainName) return dir;
    }
    return std::nullopt;
}

std::optional<double> RaplPowerMeter::sampleMw(double nowSeconds) {
    std::lock_guard lock(mutex_);
    // Domains appear when the driver loads, which happens at boot; one search is enough.
    if (!searched_) {
        domain_ = findPsysDomain();
        searched_ = true;
    }
    if (!domain_) return std::nullopt;

    const auto energyUj = SysfsFile::readInt(*domain_ / "energy_uj");
    if (!energyUj || *energyUj < 0) return std::nullopt;
    const Reading now{*energyUj, nowSeconds};

    if (!baseline_) {
        baseline_ = now;
        return std::nullopt;
    }
    const double elapsed = nowSeconds - baseline_->seconds;
    if (elapsed < kMinIntervalSeconds) return lastMw_;
    const Reading previous = *baseline_;
    baseline_ = now;
    lastMw_.reset();
    if (elapsed > kMaxIntervalSeconds) return std::nullopt;

    int64_t deltaUj = now.energyUj - previous.energyUj;
    if (deltaUj < 0) {
        // The counter wrapped: it runs from 0 to max_energy_range_uj and starts over.
        const auto rangeUj = SysfsFile::readInt(*domain_ / "max_energy_range_uj");
        if (!rangeUj || *rangeUj <= 0) return std::nullopt;
        deltaUj += *rangeUj;
        if (deltaUj < 0) return std::nullopt;
    }
    // µJ per second is µW.
    const double mw = static_cast<double>(deltaUj) / elapsed / kMicrowattsPerMilliwatt;
    if (mw > kMaxPlausibleMw) return std::nullopt;
    lastMw_ = mw;
    return mw;
}

}  // namespace joulemap
