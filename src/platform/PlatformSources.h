#pragma once

#include "AppShare.h"
#include "BatteryInfo.h"
#include "BatteryReader.h"
#include "ChargeLimitControl.h"
#include "HealthReader.h"
#include "NameRule.h"
#include "PowerMeter.h"
#include "ProcessLister.h"
#include "ProcessSampler.h"

#include <memory>
#include <optional>
#include <vector>

namespace joulemap {

// The sources of the machine we run on. Nothing outside src/platform asks which OS that is.
// On Linux the battery and the meters read sysfs under the directory this variable names, if set.
inline constexpr const char* kSysfsRootVariable = "JOULEMAP_SYSFS_ROOT";
std::unique_ptr<BatteryReader> makeBatteryReader();
std::unique_ptr<HealthReader> makeHealthReader();
std::unique_ptr<ProcessLister> makeProcessLister();
// The component meters; one that measures nothing where the platform offers none.
std::unique_ptr<PowerMeter> makePowerMeter();
// The battery's charge limit; one that reports none where the platform offers no control.
std::unique_ptr<ChargeLimitControl> makeChargeLimitControl();

namespace BatteryService {
// Process-wide readers of this platform (created on first use, thread-safe).
std::optional<BatteryInfo> read();  // readQuick() with systemHealthPct filled in
std::optional<BatteryInfo> readQuick();
int64_t readHealth();
}  // namespace BatteryService

namespace PowerMeterService {
// The process-wide meter of this platform: averages since its previous call (thread-safe).
MeasuredPower sample();
}  // namespace PowerMeterService

namespace ProcessPowerService {
// The name rules: AppNameMap.json from the installed or source resources, else the built-in list.
// Loaded once per process.
const std::vector<NameRule>& rules();
// Two snapshots intervalSec apart, turned into application shares (blocks for the interval). For a
// one-off look; a running application samples continuously with makeSampler().
std::vector<AppShare> sample(double intervalSec);
std::vector<AppShare> sample(ProcessLister& lister, double intervalSec);
// The continuous sampler of this machine's processes, this process named as itself.
std::unique_ptr<ProcessSampler> makeSampler(std::chrono::milliseconds firstSampleInterval);
}  // namespace ProcessPowerService

}  // namespace joulemap
