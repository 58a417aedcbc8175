#include "JoulemapViewModel.h"

#include "ChargeLevelAlert.h"
#include "HighTempAlert.h"
#include "MainThreadQueue.h"
#include "PowerAggregator.h"
#include "ProcessSamplingLoop.h"
#include "ThemeManager.h"
#include "WorkerPool.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <chrono>
#include <functional>
#include <utility>
#include <vector>

namespace joulemap {

namespace {

// Reads are short and few; two threads let a refresh and a health read overlap.
constexpr int kWorkerThreads = 2;
constexpr double kMilliwattsPerWatt = 1000.0;

void trim(std::vector<double>& values) {
    while (values.size() > static_cast<size_t>(JoulemapViewModel::kHistoryLength)) {
        values.erase(values.begin());
    }
}

// The timer lives on the model's thread and its tick is bound to the model, so a tick never
// reaches a model that is gone.
std::unique_ptr<QTimer> makeRepeatingTimer(int intervalMs, QObject* context, std::function<void()> tick) {
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(intervalMs);
    QObject::connect(timer.get(), &QTimer::timeout, context, std::move(tick));
    timer->start();
    return timer;
}

}  // namespace

JoulemapViewModel::JoulemapViewModel(ModelSources sources, QObject* parent)
    : QObject(parent), sources_(std::move(sources)), workers_(std::make_unique<WorkerPool>(kWorkerThreads)) {
    // A source left out reads as "nothing there" rather than failing on a worker thread.
    if (!sources_.now) {
        sources_.now = [] { return QDateTime::currentDateTime(); };
    }
    if (!sources_.readBattery) {
        sources_.readBattery = [] { return std::optional<BatteryInfo>{}; };
    }
    if (!sources_.readHealth) {
        sources_.readHealth = [] { return int64_t{0}; };
    }
    if (!sources_.readPower) {
        sources_.readPower = [] { return MeasuredPower{}; };
    }
    if (!sources_.elapsedSeconds) {
        sources_.elapsedSeconds = [] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
        };
    }
    lastUpdated_ = sources_.now();
    // At quit the loop must not sample on while the process tears down what it uses.
    if (auto* app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, this, &JoulemapViewModel::shutDown);
    }
    QMetaObject::invokeMethod(this, &JoulemapViewModel::bootstrap, Qt::QueuedConnection);
}

JoulemapViewModel::~JoulemapViewModel() {
    // What workers post meanwhile is discarded: their results only reach a model that still exists.
    shutDown();
}

void JoulemapViewModel::shutDown() {
    if (samplingLoop_) {
        samplingLoop_->stop();
    }
    if (workers_ == nullptr) return;
    workers_->clear();
    if (!workers_->waitForDone(std::chrono::milliseconds(kShutdownWaitMs))) {
        // A read is stuck (a driver that never answers). Its thread is left to finish on its own;
        // it holds nothing of this model.
        qWarning("joulemap: a battery read did not finish within %d ms; quitting without it", kShutdownWaitMs);
        workers_.reset();
    }
}

template <typename Read, typename Apply>
void JoulemapViewModel::runOnWorker(Read read, Apply apply) {
    if (workers_ == nullptr) return;
    // The read and the guard are copies: a worker left behind at shut-down touches nothing of this
    // model. The guard is only dereferenced on the main thread, where the model is destroyed.
    QPointer<JoulemapViewModel> guard(this);
    // The guard moves on with the result, so it is created and dropped on the main thread only.
    workers_->start([guard, read = std::move(read), apply = std::move(apply)]() mutable {
        MainThreadQueue::post(std::move(guard),
                              [apply, result = read()](JoulemapViewModel& model) { apply(model, result); });
    });
}

void JoulemapViewModel::setThemeManager(ThemeManager* themeManager) { themeManager_ = themeManager; }

void JoulemapViewModel::setIsActive(bool active) {
    if (active == isActive_) return;
    isActive_ = active;
    // Before the cycle has started there is no timer to re-time: creating one here would make
    // bootstrap believe the cycle runs already. It picks up the new value when it starts.
    if (timer_) {
        startTimer();
    }
}

void JoulemapViewModel::bootstrap() {
    if (timer_) return;
    QMetaObject::invokeMethod(this, &JoulemapViewModel::refresh, Qt::QueuedConnection);
    startTimer();
    startHealthTimer();
    startProcessSampling();
    startHistoryTimer();
}

void JoulemapViewModel::startTimer() {
    timer_ = makeRepeatingTimer(isActive_ ? kActiveRefreshMs : kIdleRefreshMs, this, [this] { refresh(); });
}

void JoulemapViewModel::stopTimer() { timer_.reset(); }

void JoulemapViewModel::startHealthTimer() {
    readHealthAsync();
    healthTimer_ = makeRepeatingTimer(kHealthIntervalMs, this, [this] { readHealthAsync(); });
}

void JoulemapViewModel::startHistoryTimer() {
    historyTimer_ = makeRepeatingTimer(kHistoryIntervalMs, this, [this] { writeHistory(); });
}

void JoulemapViewModel::startProcessSampling() {
    if (!sources_.sampleProcesses) return;
    // The loop is joined before this object goes away, so posting to it from the loop is safe.
    samplingLoop_ = std::make_unique<ProcessSamplingLoop>(
        sources_.sampleProcesses,
        [guard = QPointer<JoulemapViewModel>(this)](std::vector<AppShare> shares) {
            MainThreadQueue::post(guard, [shares = std::move(shares)](JoulemapViewModel& model) mutable {
                model.applyProcessShares(std::move(shares));
            });
        },
        sources_.pauseAfterSample, sources_.pauseAfterEmptySample);
}

void JoulemapViewModel::applyProcessShares(std::vector<AppShare> shares) {
    lastAppShares_ = std::move(shares);
    QMetaObject::invokeMethod(this, &JoulemapViewModel::refresh, Qt::QueuedConnection);
}

void JoulemapViewModel::refresh() {
    // Battery and meters are read together so the flow is built from one moment.
    runOnWorker(
        [readBattery = sources_.readBattery, readPower = sources_.readPower] {
            return std::make_pair(readBattery(), readPower());
        },
        [](JoulemapViewModel& self, const std::pair<std::optional<BatteryInfo>, MeasuredPower>& read) {
            self.applyBattery(read.first, read.second);
        });
}

void JoulemapViewModel::readHealthAsync() {
    runOnWorker(sources_.readHealth, [](JoulemapViewModel& self, int64_t health) { self.applyHealth(health); });
}

void JoulemapViewModel::applyHealth(int64_t healthPct) {
    lastHealthPct_ = healthPct;
    battery_.systemHealthPct = healthPct;
    emit batteryChanged();
    advices_ = BatteryAdvisor::advice(battery_, kMaxAdvices, hasBattery_ && batteryRead_);
    emit advicesChanged();
}

void JoulemapViewModel::applyBattery(const std::optional<BatteryInfo>& info, const MeasuredPower& measured) {
    if (!info) {
        // A machine without a battery: the last battery figures and histories stay as they were,
        // there is no battery advice to give and nothing to raise an alert about.
        hasBattery_ = false;
        emit hasBatteryChanged();
        flow_ = PowerAggregator::aggregateDesktop(lastAppShares_, measured);
        emit flowChanged();
        appEnergy_.add(flow_, false, sources_.elapsedSeconds());
        advices_.clear();
        emit advicesChanged();
        lastUpdated_ = sources_.now();
        emit lastUpdatedChanged();
        emit refreshed();
        return;
    }
    // The quick read carries no health figure; the slow health read supplies it.
    BatteryInfo b = *info;
    b.systemHealthPct = lastHealthPct_;

    hasBattery_ = true;
    batteryRead_ = true;
    emit hasBatteryChanged();
    battery_ = b;
    emit batteryChanged();
    flow_ = PowerAggregator::aggregate(b, lastAppShares_, measured);
    emit flowChanged();
    // On battery whenever the battery gives the power: unplugged, an adapter too weak, or a
    // discharge the user asked the driver for.
    const bool onBattery = !b.isExternalConnected || b.isAdapterTooWeak() || b.isDischargeForced();
    appEnergy_.add(flow_, onBattery, sources_.elapsedSeconds());
    advices_ = BatteryAdvisor::advice(b, kMaxAdvices, true);
    emit advicesChanged();
    lastUpdated_ = sources_.now();
    emit lastUpdatedChanged();
    pushHistory(b);
    amperage_.push(b.instantAmperageMa);
    batteryPower_.push(b.batteryPowerMw);
    checkHighTempAlert(b);
    checkHighDrainAlert(b);
    checkChargeLevelAlerts(b);
    emit refreshed();
}

void JoulemapViewModel::pushHistory(const BatteryInfo& b) {
    // The input card's own figure, the balanced flow's total, so the sparkline draws what it shows.
    histInput_.push_back(flow_.totalPower());
    trim(histInput_);
    // An unknown charge leaves a gap rather than a point at 0 %.
    if (b.currentCapacityPct) {
        histPct_.push_back(static_cast<double>(*b.currentCapacityPct));
        trim(histPct_);
    }
    histSystem_.push_back(flow_.consumedPower());
    trim(histSystem_);
    histNet_.push_back(b.batteryPowerMw / kMilliwattsPerWatt);
    trim(histNet_);
    emit historiesChanged();
}

void JoulemapViewModel::writeHistory() {
    const BatteryInfo& b = battery_;
    // A battery without a plausible charge reading would write a made-up charge. A machine without
    // a battery writes anyway, with the charge of the last snapshot (0 if there never was one).
    if (!b.currentCapacityPct && hasBattery_) return;
    if (sources_.writeHistory) {
        sources_.writeHistory(flow_.totalPower(), flow_.consumedPower(),
                              static_cast<double>(b.currentCapacityPct.value_or(0)),
                              b.batteryPowerMw / kMilliwattsPerWatt, appEnergy_.takePending());
    }
}

QString JoulemapViewModel::batteryTimeEstimate() const {
    return QString::fromStdString(
        joulemap::batteryTimeEstimate(battery_, amperage_.samples(), batteryPower_.samples()));
}

bool JoulemapViewModel::highTempAlertEnabled() const {
    return themeManager_ ? themeManager_->highTempAlertEnabled() : true;
}

bool JoulemapViewModel::highDrainAlertEnabled() const {
    return themeManager_ ? themeManager_->highDrainAlertEnabled() : true;
}

void JoulemapViewModel::checkHighTempAlert(const BatteryInfo& b) {
    if (auto message = highTempAlert(b, highTempAlertEnabled()); message && sources_.notify) {
        sources_.notify(*message);
    }
}

void JoulemapViewModel::checkHighDrainAlert(const BatteryInfo& b) {
    if (auto message = drainTracker_.check(b, lastAppShares_, highDrainAlertEnabled()); message && sources_.notify) {
        sources_.notify(*message);
    }
}

void JoulemapViewModel::checkChargeLevelAlerts(const BatteryInfo& b) {
    // Off unless the user turned them on, so without preferences there are none.
    if (!themeManager_ || !sources_.notify) return;
    const ThemeManager& prefs = *themeManager_;
    for (const auto& message : {chargeHighAlert(b, prefs.chargeHighAlertEnabled(), prefs.chargeHighAlertPct()),
                                chargeLowAlert(b, prefs.chargeLowAlertEnabled(), prefs.chargeLowAlertPct())}) {
        if (message) sources_.notify(*message);
    }
}

}  // namespace joulemap
