#include "ModelSources.h"

#include "AlertNotifier.h"
#include "HistoryStore.h"
#include "PlatformSources.h"

namespace joulemap {

namespace {
// Only the first sample waits this long: later ones measure the whole time since the one before.
// Long enough for the processor times to differ measurably, short enough to show shares at once.
constexpr std::chrono::milliseconds kFirstProcessSample{800};
}  // namespace

ModelSources ModelSources::platformDefaults() {
    ModelSources sources;
    sources.readBattery = [] { return BatteryService::readQuick(); };
    sources.readHealth = [] { return BatteryService::readHealth(); };
    sources.readPower = [] { return PowerMeterService::sample(); };
    // Shared because the function is copied; only the sampling loop's thread ever calls it.
    sources.sampleProcesses = [sampler = std::shared_ptr<ProcessSampler>(
                                   ProcessPowerService::makeSampler(kFirstProcessSample))] { return sampler->next(); };
    sources.now = [] { return QDateTime::currentDateTime(); };
    sources.writeHistory = [](double inputW, double systemW, double batteryPct, double batteryNetW,
                              const std::vector<AppEnergy>& energies) {
        HistoryStore::shared().insert(inputW, systemW, batteryPct, batteryNetW, energies);
    };
    sources.notify = [](const AlertMessage& message) {
        AlertNotifier::shared().notify(message.key, message.title, message.body);
    };
    return sources;
}

}  // namespace joulemap
