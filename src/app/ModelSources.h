#pragma once

#include "AlertMessage.h"
#include "AppShare.h"
#include "BatteryInfo.h"
#include "MeasuredPower.h"

#include <QDateTime>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace joulemap {

// Everything the central model reads from or writes to the outside world. The defaults are the
// platform sources, the history database and the desktop notifier; tests put fakes in their place.
// The reads run on worker threads, so they must be safe to call from any thread; the clock,
// the history writer and the notifier are called on the model's thread. A read left empty counts
// as "nothing there"; without a process sampler no sampling loop runs.
struct ModelSources {
    std::function<std::optional<BatteryInfo>()> readBattery;       // blocking; absent = no battery
    std::function<int64_t()> readHealth;                            // blocking; 0 = unknown
    std::function<MeasuredPower()> readPower;                       // component meters; empty = none
    std::function<std::vector<AppShare>()> sampleProcesses;        // blocking for the sample interval
    std::function<QDateTime()> now;
    std::function<void(double inputW, double systemW, double batteryPct, double batteryNetW)> writeHistory;
    std::function<void(const AlertMessage&)> notify;

    // Pauses of the process-sampling loop: a sample costs processor time itself, so it is taken
    // about every six seconds; after an empty one it is retried a little sooner.
    std::chrono::milliseconds pauseAfterSample{5200};
    std::chrono::milliseconds pauseAfterEmptySample{4000};

    static ModelSources platformDefaults();
};

}  // namespace joulemap
