#pragma once

#include "AppEnergyMeter.h"
#include "AppShare.h"
#include "BatteryAdvisor.h"
#include "BatteryInfo.h"
#include "BatteryTimeEstimate.h"
#include "DrainTracker.h"
#include "JoulemapData.h"
#include "MeasuredPower.h"
#include "ModelSources.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace joulemap {

class ThemeManager;
class WorkerPool;
class ProcessSamplingLoop;

// The one central model: keeps every live figure current from timers and a background sampling
// loop, and publishes it to the views. All state lives on the main thread; blocking reads run on
// workers and only their results come back. Every assignment of a published value emits its
// signal, also when the value did not change, so views simply redraw.
class JoulemapViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(joulemap::JoulemapData flow READ flow NOTIFY flowChanged)
    Q_PROPERTY(joulemap::BatteryInfo battery READ battery NOTIFY batteryChanged)
    Q_PROPERTY(QDateTime lastUpdated READ lastUpdated NOTIFY lastUpdatedChanged)
    Q_PROPERTY(bool hasBattery READ hasBattery NOTIFY hasBatteryChanged)
    // The four sparkline series grow together, so one signal announces all of them.
    Q_PROPERTY(std::vector<double> histInput READ histInput NOTIFY historiesChanged)
    Q_PROPERTY(std::vector<double> histPct READ histPct NOTIFY historiesChanged)
    Q_PROPERTY(std::vector<double> histSystem READ histSystem NOTIFY historiesChanged)
    Q_PROPERTY(std::vector<double> histNet READ histNet NOTIFY historiesChanged)
    Q_PROPERTY(bool isActive READ isActive WRITE setIsActive)
    Q_PROPERTY(QString batteryTimeEstimate READ batteryTimeEstimate NOTIFY refreshed)

public:
    static constexpr int kHistoryLength = 32;
    static constexpr int kActiveRefreshMs = 3000;
    static constexpr int kIdleRefreshMs = 30000;
    static constexpr int kHealthIntervalMs = 300000;
    static constexpr int kHistoryIntervalMs = 30000;
    static constexpr int64_t kMaxAdvices = 2;
    // How long quitting waits for reads in flight before leaving them behind.
    static constexpr int kShutdownWaitMs = 1000;

    // Schedules bootstrap() on this thread's event loop, so the cycle starts by itself.
    explicit JoulemapViewModel(ModelSources sources = ModelSources::platformDefaults(), QObject* parent = nullptr);
    // Waits up to kShutdownWaitMs for reads in flight (their results are dropped) and stops the
    // sampling loop.
    ~JoulemapViewModel() override;

    const JoulemapData& flow() const { return flow_; }
    const BatteryInfo& battery() const { return battery_; }
    const QDateTime& lastUpdated() const { return lastUpdated_; }
    const std::vector<BatteryAdvisor::Advice>& advices() const { return advices_; }
    bool hasBattery() const { return hasBattery_; }
    const std::vector<double>& histInput() const { return histInput_; }
    const std::vector<double>& histPct() const { return histPct_; }
    const std::vector<double>& histSystem() const { return histSystem_; }
    const std::vector<double>& histNet() const { return histNet_; }
    const std::vector<AppShare>& lastAppShares() const { return lastAppShares_; }
    // Energy per application since start, and what the next history row will carry.
    const AppEnergyMeter& appEnergy() const { return appEnergy_; }
    const std::vector<double>& amperageSamples() const { return amperage_.samples(); }
    int64_t lastHealthPct() const { return lastHealthPct_; }
    std::optional<std::pair<std::string, int64_t>> highCpuTracker() const { return drainTracker_.state(); }
    // "已接电源", "充满约 1小时", "可用约 2小时", "放电中"...
    QString batteryTimeEstimate() const;

    // True while a window or the panel shows live figures: refreshes then come every 3 s instead of 30 s.
    bool isActive() const { return isActive_; }
    void setIsActive(bool active);

    // Not owned; without one, both alerts count as enabled.
    void setThemeManager(ThemeManager* themeManager);
    ThemeManager* themeManager() const { return themeManager_; }

    // Starts the timers and the sampling loop once; later calls do nothing.
    void bootstrap();
    // One asynchronous refresh: the battery is read on a worker, the result applied here.
    // Refreshes are not coalesced; each applies its own result, the last to finish wins.
    void refresh();
    void startTimer();
    void stopTimer();
    void startHealthTimer();
    void startHistoryTimer();
    // One row into the long-term history (the history timer's tick).
    void writeHistory();

    // Timer handles, absent before the cycle starts (inspected by tests, never by views).
    const QTimer* refreshTimer() const { return timer_.get(); }
    const QTimer* healthTimer() const { return healthTimer_.get(); }
    const QTimer* historyTimer() const { return historyTimer_.get(); }

signals:
    void flowChanged();
    void batteryChanged();
    void lastUpdatedChanged();
    void advicesChanged();
    void hasBatteryChanged();
    void historiesChanged();
    // After every finished refresh (with or without a battery), once all its values are published.
    void refreshed();

private:
    void startProcessSampling();
    void applyProcessShares(std::vector<AppShare> shares);
    void applyBattery(const std::optional<BatteryInfo>& info, const MeasuredPower& measured);
    void applyHealth(int64_t healthPct);
    void readHealthAsync();
    // Credits the flow just published to the applications' energies, on a monotonic clock.
    void pushHistory(const BatteryInfo& b);
    void checkHighTempAlert(const BatteryInfo& b);
    void checkHighDrainAlert(const BatteryInfo& b);
    void checkChargeLevelAlerts(const BatteryInfo& b);
    bool highTempAlertEnabled() const;
    bool highDrainAlertEnabled() const;
    void shutDown();
    // Runs read on a worker and hands its result to apply on the main thread, while this model lives.
    template <typename Read, typename Apply>
    void runOnWorker(Read read, Apply apply);

    ModelSources sources_;

    JoulemapData flow_ = JoulemapData::placeholder();
    BatteryInfo battery_ = BatteryInfo::unknown();
    QDateTime lastUpdated_;
    std::vector<BatteryAdvisor::Advice> advices_;
    bool hasBattery_ = true;
    // A health read can land before the first battery snapshot; there is nothing to advise on then.
    bool batteryRead_ = false;
    QPointer<ThemeManager> themeManager_;
    std::vector<double> histInput_;
    std::vector<double> histPct_;
    std::vector<double> histSystem_;
    std::vector<double> histNet_;
    std::vector<AppShare> lastAppShares_;
    int64_t lastHealthPct_ = 0;
    AmperageWindow amperage_;
    // Battery power readings in mW beside the currents: time left from energies needs them.
    AmperageWindow batteryPower_;
    DrainTracker drainTracker_;
    AppEnergyMeter appEnergy_;
    std::unique_ptr<QTimer> timer_;
    std::unique_ptr<QTimer> healthTimer_;
    std::unique_ptr<QTimer> historyTimer_;
    bool isActive_ = true;

    // Owned, except after a shut-down that ran out of time: then its stuck threads keep it.
    std::unique_ptr<WorkerPool> workers_;
    std::unique_ptr<ProcessSamplingLoop> samplingLoop_;
};

}  // namespace joulemap
