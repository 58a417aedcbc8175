#include "ModelSources.h"

#include "AlertNotifier.h"
#include "HistoryStore.h"
#include "PlatformSources.h"

namespace joulemap {

namespace {
// Long enough for the processor times to differ measurably, short enough to follow the user.
constexpr double kProcessSampleSeconds = 0.8;
}  // namespace

ModelSources ModelSources::platformDefaults() {
    ModelSources sources;
    sources.readBattery = [] { return BatteryService::readQuick(); };
    sources.readHealth = [] { return BatteryService::readHealth(); };
    sources.readPower = [] { return PowerMeterService::sample(); };
    sources.sampleProcesses = [] { return ProcessPowerService::sample(kProcessSampleSeconds); };
    sources.now = [] { return QDateTime::currentDateTime(); };
    sources.writeHistory = [](double inputW, double systemW, double batteryPct, double batteryNetW) {
        HistoryStore::shared().insert(inputW, systemW, batteryPct, batteryNetW);
    };
    sources.notify = [](const AlertMessage& message) {
        AlertNotifier::shared().notify(message.key, message.title, message.body);
    };
    return sources;
}

}  // namespace joulemap
