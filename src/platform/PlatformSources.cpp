#include "PlatformSources.h"

#include "ProcessPowerService.h"

#if defined(__APPLE__)
#include "macos/MacBatteryReader.h"
#include "macos/MacHealthReader.h"
#include "macos/MacProcessLister.h"
#else
#include "linux/LinuxBatteryReader.h"
#include "linux/LinuxChargeLimitControl.h"
#include "linux/LinuxHealthReader.h"
#include "linux/LinuxPowerMeter.h"
#include "linux/LinuxProcessLister.h"
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <thread>

#include <unistd.h>

namespace joulemap {

#if !defined(__APPLE__)
namespace {

// Where sysfs is read from: JOULEMAP_SYSFS_ROOT when set (a fake tree, for scripted tests of the
// whole program), else /sys.
std::filesystem::path sysfsRoot() {
    const char* root = std::getenv(kSysfsRootVariable);
    return root != nullptr && *root != '\0' ? std::filesystem::path(root) : std::filesystem::path("/sys");
}

}  // namespace
#endif

std::unique_ptr<BatteryReader> makeBatteryReader() {
#if defined(__APPLE__)
    return std::make_unique<MacBatteryReader>();
#else
    return std::make_unique<LinuxBatteryReader>(sysfsRoot());
#endif
}

std::unique_ptr<HealthReader> makeHealthReader() {
#if defined(__APPLE__)
    return std::make_unique<MacHealthReader>();
#else
    return std::make_unique<LinuxHealthReader>();
#endif
}

std::unique_ptr<ProcessLister> makeProcessLister() {
#if defined(__APPLE__)
    return std::make_unique<MacProcessLister>();
#else
    return std::make_unique<LinuxProcessLister>();
#endif
}

namespace {

// macOS offers no component meters without privileges; every figure stays unknown.
class NoPowerMeter : public PowerMeter {
public:
    MeasuredPower sample() override { return {}; }
};

}  // namespace

std::unique_ptr<PowerMeter> makePowerMeter() {
#if defined(__APPLE__)
    return std::make_unique<NoPowerMeter>();
#else
    return std::make_unique<LinuxPowerMeter>(sysfsRoot());
#endif
}

namespace {

// macOS keeps its charge limit to itself: nothing to read or set.
class NoChargeLimitControl : public ChargeLimitControl {
public:
    ChargeLimitState read() override { return {}; }
    ChargeLimitState setEndThreshold(int) override { return {}; }
};

}  // namespace

std::unique_ptr<ChargeLimitControl> makeChargeLimitControl() {
#if defined(__APPLE__)
    return std::make_unique<NoChargeLimitControl>();
#else
    return std::make_unique<LinuxChargeLimitControl>();
#endif
}

namespace {

// One reader per process: the Linux battery reader keeps a smoothed consumption figure between calls.
BatteryReader& sharedBatteryReader() {
    static const std::unique_ptr<BatteryReader> reader = makeBatteryReader();
    return *reader;
}

HealthReader& sharedHealthReader() {
    static const std::unique_ptr<HealthReader> reader = makeHealthReader();
    return *reader;
}

PowerMeter& sharedPowerMeter() {
    static const std::unique_ptr<PowerMeter> meter = makePowerMeter();
    return *meter;
}

ProcessLister& sharedProcessLister() {
    static const std::unique_ptr<ProcessLister> lister = makeProcessLister();
    return *lister;
}

std::filesystem::path executableDir() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path{} : exe.parent_path();
}

std::vector<std::filesystem::path> ruleCandidates() {
    std::vector<std::filesystem::path> candidates;
    if (const auto dir = executableDir(); !dir.empty()) {
        candidates.push_back(dir / "../share/joulemap/AppNameMap.json");
    }
#ifdef JOULEMAP_INSTALL_DATA_DIR
    candidates.emplace_back(std::filesystem::path(JOULEMAP_INSTALL_DATA_DIR) / "AppNameMap.json");
#endif
#ifdef JOULEMAP_RESOURCE_DIR
    // Running from a build tree: the rule file of the sources.
    candidates.emplace_back(std::filesystem::path(JOULEMAP_RESOURCE_DIR) / "AppNameMap.json");
#endif
    return candidates;
}

}  // namespace

namespace BatteryService {

std::optional<BatteryInfo> readQuick() { return sharedBatteryReader().readQuick(); }

int64_t readHealth() { return sharedHealthReader().readHealth(); }

std::optional<BatteryInfo> read() {
    auto info = readQuick();
    if (info) {
        info->systemHealthPct = readHealth();
    }
    return info;
}

}  // namespace BatteryService

namespace PowerMeterService {

MeasuredPower sample() { return sharedPowerMeter().sample(); }

}  // namespace PowerMeterService

namespace ProcessPowerService {

const std::vector<NameRule>& rules() {
    static const std::vector<NameRule> loaded = loadRules(ruleCandidates());
    return loaded;
}

std::vector<AppShare> sample(ProcessLister& lister, double intervalSec) {
    const auto start = std::chrono::steady_clock::now();
    const Snapshot first = lister.snapshot();
    std::this_thread::sleep_for(std::chrono::duration<double>(intervalSec));
    const auto end = std::chrono::steady_clock::now();
    const Snapshot second = lister.snapshot();
    return sharesBetween(first, second, rules(), std::chrono::duration<double>(end - start).count(), ::getpid());
}

std::unique_ptr<ProcessSampler> makeSampler(std::chrono::milliseconds firstSampleInterval) {
    return std::make_unique<ProcessSampler>(makeProcessLister(), rules(), firstSampleInterval, ::getpid());
}

std::vector<AppShare> sample(double intervalSec) { return sample(sharedProcessLister(), intervalSec); }

}  // namespace ProcessPowerService

}  // namespace joulemap
