#include "RaplPowerMeter.h"

#include "SysfsFile.h"

#include <utility>

namespace joulemap {

namespace {

constexpr double kMicrowattsPerMilliwatt = 1000;
// The same packages also appear through the MMIO interface on recent Intel laptops; counting
// them there too would double the figure.
constexpr char kMmioZonePrefix[] = "intel-rapl-mmio";
constexpr char kPackagePrefix[] = "package-";

// Sums one domain over its zones (one per socket); absent unless every zone gave a figure.
struct Sum {
    bool seen = false;
    bool complete = true;
    double mw = 0;

    void add(const std::optional<double>& value) {
        seen = true;
        if (value) {
            mw += *value;
        } else {
            complete = false;
        }
    }
    std::optional<double> result() const {
        if (!seen || !complete) return std::nullopt;
        return mw;
    }
};

}  // namespace

RaplPowerMeter::EnergyCounter::EnergyCounter(std::filesystem::path energyFile, std::filesystem::path rangeFile)
    : energyFile_(std::move(energyFile)), rangeFile_(std::move(rangeFile)) {}

std::optional<double> RaplPowerMeter::EnergyCounter::sampleMw(double nowSeconds) {
    const auto energyUj = SysfsFile::readInt(energyFile_);
    if (!energyUj || *energyUj < 0) return std::nullopt;
    const Sample now{*energyUj, nowSeconds};

    if (!baseline_) {
        baseline_ = now;
        return std::nullopt;
    }
    const double elapsed = nowSeconds - baseline_->seconds;
    if (elapsed < kMinIntervalSeconds) return lastMw_;
    const Sample previous = *baseline_;
    baseline_ = now;
    lastMw_.reset();
    if (elapsed > kMaxIntervalSeconds) return std::nullopt;

    int64_t deltaUj = now.energyUj - previous.energyUj;
    if (deltaUj < 0) {
        // The counter wrapped: it runs from 0 to max_energy_range_uj and starts over.
        const auto rangeUj = rangeFile_.empty() ? std::nullopt : SysfsFile::readInt(rangeFile_);
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

RaplPowerMeter::RaplPowerMeter(std::filesystem::path powercapDir) : powercapDir_(std::move(powercapDir)) {}

void RaplPowerMeter::discover() {
    // Domains appear when the driver loads, which happens at boot; one search is enough.
    searched_ = true;
    for (const auto& entry : SysfsFile::entryNames(powercapDir_)) {
        if (entry.starts_with(kMmioZonePrefix)) continue;
        const auto dir = powercapDir_ / entry;
        const std::string name = SysfsFile::readText(dir / "name").value_or("");
        std::optional<Domain> domain;
        if (name.starts_with(kPackagePrefix)) {
            domain = Domain::package;
        } else if (name == "core") {
            domain = Domain::core;
        } else if (name == "uncore") {
            domain = Domain::uncore;
        } else if (name == "dram") {
            domain = Domain::dram;
        } else if (name == "psys") {
            domain = Domain::psys;
        }
        if (domain) zones_.push_back({*domain, EnergyCounter(dir / "energy_uj", dir / "max_energy_range_uj")});
    }
}

RaplPowerMeter::Reading RaplPowerMeter::sample(double nowSeconds) {
    std::lock_guard lock(mutex_);
    if (!searched_) discover();
    Sum package, core, uncore, dram, psys;
    for (Zone& zone : zones_) {
        const auto mw = zone.counter.sampleMw(nowSeconds);
        switch (zone.domain) {
            case Domain::package: package.add(mw); break;
            case Domain::core: core.add(mw); break;
            case Domain::uncore: uncore.add(mw); break;
            case Domain::dram: dram.add(mw); break;
            case Domain::psys: psys.add(mw); break;
        }
    }
    return {package.result(), core.result(), uncore.result(), dram.result(), psys.result()};
}

std::optional<double> RaplPowerMeter::sampleMw(double nowSeconds) { return sample(nowSeconds).psysMw; }

}  // namespace joulemap
