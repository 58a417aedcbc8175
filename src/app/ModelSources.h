#pragma once

#include "AlertMessage.h"
#include "AppEnergy.h"
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
    std::function<std::vector<AppShare>()> sampleProcesses;        // may block for a short first sample
    std::function<QDateTime()> now;
    // Seconds on a clock that never jumps (the energy per application is integrated over it).
    std::function<double()> elapsedSeconds;
    std::function<void(double inputW, double systemW, double batteryPct, double batteryNetW,
                       const std::vector<AppEnergy>& energies)>
        writeHistory;
    std::function<void(const AlertMessage&)> notify;

    // Pauses of the process-sampling loop: each sample covers the time since the one before, so
    // this is how often the shares change; a listing costs processor time itself, so about every
    // six seconds. After an empty sample it is retried a little sooner.
    std::chrono::milliseconds pauseAfterSample{6000};
    std::chrono::milliseconds pauseAfterEmptySample{4000};

    static ModelSources platformDefaults();
};

}  // namespace joulemap
