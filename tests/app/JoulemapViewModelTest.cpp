#include <gtest/gtest.h>

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <deque>
#include <latch>
#include <mutex>
#include <semaphore>
#include <thread>

#include "JoulemapViewModel.h"
#include "PowerAggregator.h"
#include "support/AppFakes.h"

namespace joulemap {
namespace {

using namespace std::chrono_literals;

constexpr int kWaitMs = 5000;

struct HistoryRow {
    double inputW, systemW, batteryPct, batteryNetW;
    bool operator==(const HistoryRow&) const = default;
};

// The outside world of one model. The reads are called on workers; everything else on the test's
// thread. Shared with the sources, so a read still running after a test ends touches live memory.
struct FakeWorld {
    std::mutex mutex;
    std::deque<std::optional<BatteryInfo>> batteryScript;  // read first, one per refresh
    std::optional<BatteryInfo> battery;                    // then this, every time
    std::shared_ptr<std::latch> batteryGate;               // when set, reads wait for it
    std::shared_ptr<std::latch> batteryEntered;            // counted down by the next read
    std::atomic<int> batteryReads{0};
    std::atomic<int64_t> health{87};
    MeasuredPower measured;  // guarded by mutex
    std::deque<std::vector<AppShare>> shareScript;  // then empty samples
    std::atomic<int> samples{0};

    QDateTime now = QDateTime(QDate(2026, 3, 1), QTime(9, 0));
    double elapsed = 0;  // the monotonic clock, in seconds
    std::vector<HistoryRow> rows;
    std::vector<std::vector<AppEnergy>> energies;  // one list per row
    std::vector<AlertMessage> alerts;
};

template <typename T>
T nextOf(std::deque<T>& script, T otherwise) {
    if (script.empty()) return otherwise;
    T front = std::move(script.front());
    script.pop_front();
    return front;
}

ModelSources sourcesFor(const std::shared_ptr<FakeWorld>& world, std::chrono::milliseconds pause) {
    ModelSources sources;
    sources.readBattery = [world] {
        std::unique_lock lock(world->mutex);
        ++world->batteryReads;
        const std::optional<BatteryInfo> result = nextOf(world->batteryScript, world->battery);
        auto gate = world->batteryGate;
        auto entered = std::exchange(world->batteryEntered, nullptr);
        lock.unlock();
        if (entered) entered->count_down();
        if (gate) gate->wait();
        return result;
    };
    sources.readHealth = [world] { return world->health.load(); };
    sources.readPower = [world] {
        std::lock_guard lock(world->mutex);
        return world->measured;
    };
    sources.sampleProcesses = [world] {
        std::lock_guard lock(world->mutex);
        ++world->samples;
        return nextOf(world->shareScript, {});
    };
    sources.now = [world] { return world->now; };
    sources.elapsedSeconds = [world] { return world->elapsed; };
    sources.writeHistory = [world](double inputW, double systemW, double pct, double netW,
                                   const std::vector<AppEnergy>& energies) {
        world->rows.push_back({inputW, systemW, pct, netW});
        world->energies.push_back(energies);
    };
    sources.notify = [world](const AlertMessage& message) { world->alerts.push_back(message); };
    sources.pauseAfterSample = sources.pauseAfterEmptySample = pause;
    return sources;
}

// On the adapter, charging 12 W of the 30 W it delivers: 18 W for the machine.
BatteryInfo charging(std::optional<int64_t> pct = 57, double temperatureC = 30) {
    return {.designCapacityMah = 5200,
            .maxCapacityMah = 5000,
            .currentCapacityMah = 4000,
            .voltageMv = 12000,
            .instantAmperageMa = 1000,
            .isCharging = true,
            .isExternalConnected = true,
            .currentCapacityPct = pct,
            .temperatureC = temperatureC,
            .adapterWatts = 96,
            .systemPowerInMw = 30000,
            .batteryPowerMw = 12000};
}

// On battery, 1500 mA at 11.5 V: 17.25 W.
BatteryInfo discharging(double amperageMa = -1500) {
    return {.designCapacityMah = 5200,
            .maxCapacityMah = 5000,
            .currentCapacityMah = 3000,
            .voltageMv = 11500,
            .instantAmperageMa = amperageMa,
            .currentCapacityPct = 60,
            .temperatureC = 30,
            .batteryPowerMw = amperageMa * 11.5};
}

class JoulemapViewModelTest : public ::testing::Test {
protected:
    // The sampling loop pauses this long after every sample.
    std::unique_ptr<JoulemapViewModel> makeModel(std::chrono::milliseconds pause = 1h) {
        auto model = std::make_unique<JoulemapViewModel>(sourcesFor(world_, pause));
        // The idle interval outlasts every wait here, so no tick stands in for an expected refresh.
        model->setIsActive(false);
        return model;
    }

    std::unique_ptr<JoulemapViewModel> startModel() {
        auto model = makeModel();
        QSignalSpy refreshed(model.get(), &JoulemapViewModel::refreshed);
        const bool started = QTest::qWaitFor(
            [&] { return refreshed.count() >= 1 && model->lastHealthPct() == world_->health; }, kWaitMs);
        EXPECT_TRUE(started);
        return model;
    }

    // Starts a refresh whose read of a hot battery blocks until the returned gate opens.
    std::shared_ptr<std::latch> refreshHeldAtTheRead(JoulemapViewModel& model) {
        auto gate = std::make_shared<std::latch>(1);
        auto entered = std::make_shared<std::latch>(1);
        {
            std::lock_guard lock(world_->mutex);
            world_->battery = charging(57, 45);
            world_->batteryGate = gate;
            world_->batteryEntered = entered;
        }
        model.refresh();
        entered->wait();
        return gate;
    }

    bool refreshWith(JoulemapViewModel& model, std::optional<BatteryInfo> battery) {
        {
            std::lock_guard lock(world_->mutex);
            world_->batteryScript.push_back(std::move(battery));
        }
        QSignalSpy refreshed(&model, &JoulemapViewModel::refreshed);
        model.refresh();
        return refreshed.wait(kWaitMs);
    }

    std::shared_ptr<FakeWorld> world_ = std::make_shared<FakeWorld>();
};

using Severity = BatteryAdvisor::Advice::Severity;

TEST_F(JoulemapViewModelTest, RefreshIntervalFollowsIsActiveAndTimerIsRecreatedOnlyOnChange) {
    auto model = makeModel();
    // Written before the scheduled start: must neither create a timer early nor stop the start.
    model->setIsActive(true);
    ASSERT_EQ(model->refreshTimer(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->refreshTimer() != nullptr; }, kWaitMs));
    ASSERT_TRUE(model->healthTimer() && model->historyTimer());
    EXPECT_EQ(model->refreshTimer()->interval(), 3000);
    EXPECT_EQ(model->healthTimer()->interval(), 300000);
    EXPECT_EQ(model->historyTimer()->interval(), 30000);
    EXPECT_TRUE(model->healthTimer()->isActive() && model->historyTimer()->isActive());

    const QTimer* active = model->refreshTimer();
    QSignalSpy activeGone(active, &QObject::destroyed);
    model->setIsActive(true);
    EXPECT_EQ(activeGone.count(), 0);
    EXPECT_EQ(model->refreshTimer(), active);

    model->setIsActive(false);
    EXPECT_EQ(activeGone.count(), 1);
    EXPECT_EQ(model->refreshTimer()->interval(), 30000);
    EXPECT_TRUE(model->refreshTimer()->isActive());
}

TEST_F(JoulemapViewModelTest, SecondBootstrapKeepsTheRunningCycle) {
    auto model = makeModel();
    // The loop's first sample may come late on a busy machine; after it, only a second loop adds one.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return model->refreshTimer() && world_->batteryReads == 1 && world_->samples >= 1; }, kWaitMs));
    // Guarded pointers: a timer replaced by a new one at the same address reads as gone.
    const auto timers = [&] {
        return std::vector<QPointer<const QTimer>>{model->refreshTimer(), model->healthTimer(),
                                                   model->historyTimer()};
    };
    const auto before = timers();
    const int samples = world_->samples;

    model->bootstrap();
    QTest::qWait(100);  // room for a stray refresh or a second sampling loop to show up
    EXPECT_EQ(timers(), before);
    EXPECT_EQ(world_->batteryReads, 1);
    EXPECT_EQ(world_->samples, samples);
}

TEST_F(JoulemapViewModelTest, HistoriesHoldTheLast32ReadingsInStep) {
    world_->batteryScript.push_back(std::nullopt);  // the start finds no battery: histories stay empty
    auto model = startModel();
    ASSERT_TRUE(model->histPct().empty());

    for (int64_t i = 1; i <= 33; ++i) {
        BatteryInfo b = charging(i);
        b.systemPowerInMw = 1000.0 * static_cast<double>(i);
        b.batteryPowerMw = 100.0 * static_cast<double>(i);
        ASSERT_TRUE(refreshWith(*model, b));
    }
    for (const auto* history :
         {&model->histInput(), &model->histPct(), &model->histSystem(), &model->histNet()}) {
        EXPECT_EQ(history->size(), 32u);
    }
    // The oldest of 33 dropped, the rest in step: input, charge, input minus charging, charging.
    EXPECT_EQ(model->histPct().front(), 2.0);
    EXPECT_DOUBLE_EQ(model->histInput().back(), 33.0);
    EXPECT_DOUBLE_EQ(model->histSystem().back(), 33.0 - 3.3);
    EXPECT_DOUBLE_EQ(model->histNet().front(), 0.2);
}

TEST_F(JoulemapViewModelTest, AmperageWindowDrivesTheEstimateText) {
    world_->battery = BatteryInfo{};
    auto model = startModel();
    const auto refreshTo = [&](const BatteryInfo& battery) {
        EXPECT_TRUE(refreshWith(*model, battery));
        return std::pair(model->amperageSamples(), model->batteryTimeEstimate().toStdString());
    };
    const auto plugged = [](double amperageMa) {
        return BatteryInfo{.instantAmperageMa = amperageMa, .isExternalConnected = true};
    };
    using Window = std::vector<double>;

    for (int i = 0; i < 5; ++i) refreshTo(plugged(500));
    EXPECT_EQ(refreshTo(plugged(500)).first, Window(5, 500));

    // Unplugging: the old charging readings must not soften the first discharge figures.
    EXPECT_EQ(refreshTo(discharging(-300)).first, Window{-300});
    // 3000 mAh at a mean of 1500 mA.
    EXPECT_EQ(refreshTo(discharging(-2700)), std::pair(Window{-300, -2700}, std::string("可用约 2小时")));

    // Too little current to divide by: the battery's own figure, trusted below ten hours only.
    BatteryInfo idle = discharging(0);
    idle.timeRemainingMin = 600;
    EXPECT_EQ(refreshTo(idle), std::pair(Window{0}, std::string("放电中")));
    idle.timeRemainingMin = 599;
    EXPECT_EQ(refreshTo(idle).second, "可用约 9小时59分");

    // Zero sits on the charging side, so plugging in after it keeps the window.
    EXPECT_EQ(refreshTo(plugged(40)), std::pair(Window{0, 0, 40}, std::string("已接电源")));

    refreshTo(discharging(-100));
    BatteryInfo filling = charging();
    filling.instantAmperageMa = 800;
    refreshTo(filling);
    filling.instantAmperageMa = 1200;
    // 1000 mAh missing at a mean of 1000 mA.
    EXPECT_EQ(refreshTo(filling).second, "充满约 1小时");
}

TEST_F(JoulemapViewModelTest, RefreshWithoutBatteryShowsDesktopFlowAndNoBatteryAdvice) {
    world_->battery = charging(57, 45);
    auto model = startModel();
    ASSERT_TRUE(model->hasBattery());
    ASSERT_FALSE(model->advices().empty());
    const BatteryInfo battery = model->battery();
    const auto amperage = model->amperageSamples();
    const size_t alerts = world_->alerts.size();

    world_->now = world_->now.addSecs(3);
    {
        std::lock_guard lock(world_->mutex);
        world_->measured.packageWatts = 12;
    }
    ASSERT_TRUE(refreshWith(*model, std::nullopt));
    EXPECT_FALSE(model->hasBattery());
    EXPECT_EQ(model->flow().inputSub, "交流供电 · CPU 实际 12.0W");  // the meters reach the flow
    EXPECT_EQ(model->lastUpdated(), world_->now);
    EXPECT_EQ(model->battery(), battery);
    EXPECT_TRUE(model->advices().empty());
    // A health read on a machine without a battery brings no battery advice back.
    QSignalSpy advicesChanged(model.get(), &JoulemapViewModel::advicesChanged);
    model->startHealthTimer();
    ASSERT_TRUE(advicesChanged.wait(kWaitMs));
    EXPECT_TRUE(model->advices().empty());
    EXPECT_EQ(model->amperageSamples(), amperage);
    EXPECT_EQ(model->histPct().size(), 1u);    // no reading, no history
    EXPECT_EQ(world_->alerts.size(), alerts);  // the kept hot snapshot raises nothing

    ASSERT_TRUE(refreshWith(*model, charging()));
    EXPECT_TRUE(model->hasBattery());
    EXPECT_EQ(model->histPct().size(), 2u);
}

TEST_F(JoulemapViewModelTest, HealthReadFillsTheBatteryAndAdviceStaysWithinTwo) {
    // Cool, on the adapter and not charging: only the health can give advice.
    BatteryInfo resting = charging(85);
    resting.isCharging = false;
    resting.systemHealthPct = 55;  // whatever the quick read says, the health read wins
    world_->battery = resting;
    world_->health = 70;
    auto model = startModel();
    EXPECT_EQ(model->battery().systemHealthPct, 70);
    ASSERT_EQ(model->advices().size(), 1u);
    EXPECT_EQ(model->advices()[0].severity, Severity::warn);

    world_->health = 95;
    QSignalSpy advicesChanged(model.get(), &JoulemapViewModel::advicesChanged);
    model->startHealthTimer();
    ASSERT_TRUE(advicesChanged.wait(kWaitMs));
    EXPECT_EQ(model->battery().systemHealthPct, 95);
    ASSERT_EQ(model->advices().size(), 1u);
    EXPECT_EQ(model->advices()[0].severity, Severity::good);
    ASSERT_TRUE(refreshWith(*model, resting));
    EXPECT_EQ(model->battery().systemHealthPct, 95);

    // Hot, low and draining hard: three rules hold, two are shown.
    BatteryInfo bad = discharging(-2600);
    bad.currentCapacityPct = 15;
    bad.temperatureC = 45;
    ASSERT_TRUE(refreshWith(*model, bad));
    ASSERT_EQ(model->advices().size(), 2u);
    EXPECT_EQ(model->advices()[0].severity, Severity::critical);
    EXPECT_EQ(model->advices()[1].severity, Severity::critical);
}

TEST_F(JoulemapViewModelTest, HistoryRowsFollowTheFlowAndTheLastSnapshot) {
    world_->batteryScript.push_back(std::nullopt);
    auto model = startModel();
    const auto writeAfter = [&](std::optional<BatteryInfo> battery) {
        EXPECT_TRUE(refreshWith(*model, std::move(battery)));
        model->writeHistory();
        return model->flow().totalPower();
    };

    // Without a battery a row is written anyway, with no charge; the machine consumes the whole flow.
    model->writeHistory();
    const double desktopW = model->flow().totalPower();
    writeAfter(charging(std::nullopt));  // no row with a made-up charge while the charge is unknown
    const double chargingW = writeAfter(charging(57));
    // Without a battery again, the last snapshot's charge stays; the consumption is the new flow's.
    const double againW = writeAfter(std::nullopt);
    EXPECT_EQ(world_->rows,
              (std::vector<HistoryRow>{
                  {desktopW, desktopW, 0, 0}, {chargingW, 18, 57, 12}, {againW, againW, 57, 12}}));
}

TEST_F(JoulemapViewModelTest, HistoryRowsCarryTheEnergyUsedSinceTheRowBefore) {
    auto model = startModel();
    ASSERT_TRUE(refreshWith(*model, discharging()));
    world_->elapsed = 20;
    ASSERT_TRUE(refreshWith(*model, discharging()));
    model->writeHistory();
    ASSERT_EQ(world_->energies.size(), 1u);
    double wh = 0;
    for (const AppEnergy& e : world_->energies[0]) {
        EXPECT_TRUE(e.onBattery) << e.app;
        wh += e.wh;
    }
    // What the machine consumed over the 20 s, all of it attributed.
    EXPECT_NEAR(wh, model->flow().consumedPower() * 20 / 3600, 1e-9);

    // On the adapter the energy counts as taken from the mains; each row carries only its own.
    world_->elapsed = 30;
    ASSERT_TRUE(refreshWith(*model, charging()));
    model->writeHistory();
    ASSERT_EQ(world_->energies.size(), 2u);
    ASSERT_FALSE(world_->energies[1].empty());
    for (const AppEnergy& e : world_->energies[1]) EXPECT_FALSE(e.onBattery) << e.app;
}

TEST_F(JoulemapViewModelTest, HotBatteryAlertHonoursTheSwitch) {
    auto model = startModel();
    const BatteryInfo hot = charging(57, 41.9);
    ASSERT_TRUE(refreshWith(*model, hot));
    ASSERT_EQ(world_->alerts.size(), 1u);
    EXPECT_EQ(world_->alerts[0].key, "highTemp");

    auto preferences = std::make_unique<test::Preferences>();
    preferences->theme.setHighTempAlertEnabled(false);
    model->setThemeManager(&preferences->theme);
    ASSERT_TRUE(refreshWith(*model, hot));
    EXPECT_EQ(world_->alerts.size(), 1u);

    // Preferences gone: the alert counts as enabled again.
    preferences.reset();
    ASSERT_TRUE(refreshWith(*model, hot));
    EXPECT_EQ(world_->alerts.size(), 2u);
}

TEST_F(JoulemapViewModelTest, ChargeLevelAlertsOnlyWhenTurnedOnAndAtTheirLevels) {
    auto model = startModel();
    ASSERT_TRUE(refreshWith(*model, charging(85)));
    EXPECT_TRUE(world_->alerts.empty());  // off without preferences, and off by default

    test::Preferences preferences;
    preferences.theme.setChargeHighAlertEnabled(true);
    preferences.theme.setChargeHighAlertPct(90);
    model->setThemeManager(&preferences.theme);
    ASSERT_TRUE(refreshWith(*model, charging(85)));
    EXPECT_TRUE(world_->alerts.empty());
    preferences.theme.setChargeHighAlertPct(85);
    ASSERT_TRUE(refreshWith(*model, charging(85)));
    ASSERT_EQ(world_->alerts.size(), 1u);
    EXPECT_EQ(world_->alerts[0].key, "chargeHigh");
}

TEST_F(JoulemapViewModelTest, DrainAlertAfterThreeRefreshesWithTheSameTopApp) {
    world_->battery = charging();  // on the adapter until the test unplugs
    world_->shareScript.push_back({{"Blender", std::nullopt, 0.7, 85.0}, {kSystemShareName, std::nullopt, 0.3, 37.0}});
    auto model = makeModel();
    QSignalSpy refreshed(model.get(), &JoulemapViewModel::refreshed);
    // The start's refresh and the one the sample asks for.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return refreshed.count() >= 2 && !model->lastAppShares().empty(); }, kWaitMs));
    ASSERT_FALSE(model->highCpuTracker());

    for (int refresh = 1; refresh <= 2; ++refresh) {
        ASSERT_TRUE(refreshWith(*model, discharging()));
        EXPECT_EQ(model->highCpuTracker(), std::make_pair(std::string("Blender"), int64_t{refresh}));
    }
    EXPECT_TRUE(world_->alerts.empty());
    ASSERT_TRUE(refreshWith(*model, discharging()));
    ASSERT_EQ(world_->alerts.size(), 1u);
    EXPECT_EQ(world_->alerts[0].key, "highDrain");
    EXPECT_FALSE(model->highCpuTracker());
}

TEST_F(JoulemapViewModelTest, SampledSharesReachTheFlowAndAnEmptySampleKeepsThem) {
    world_->battery = discharging();
    const std::vector<AppShare> shares{{"Blender", std::nullopt, 0.6}, {kSystemShareName, std::nullopt, 0.4}};
    world_->shareScript.push_back(shares);
    auto model = makeModel(1ms);
    QSignalSpy refreshed(model.get(), &JoulemapViewModel::refreshed);

    // The start asks for one refresh and the sample with shares for the other.
    ASSERT_TRUE(QTest::qWaitFor([&] { return refreshed.count() >= 2 && world_->samples >= 20; }, kWaitMs));
    EXPECT_EQ(model->lastAppShares(), shares);
    const auto& destinations = model->flow().destinations;
    EXPECT_TRUE(std::any_of(destinations.begin(), destinations.end(),
                            [](const PowerDestination& d) { return d.name == "Blender"; }));
    EXPECT_EQ(world_->batteryReads, 2);  // the empty samples since asked for nothing
}

TEST_F(JoulemapViewModelTest, DestroyingWhileTheLoopPausesAndAReadIsBlockedAppliesNothing) {
    auto model = startModel();  // the loop pauses for an hour after its empty first sample
    auto gate = refreshHeldAtTheRead(*model);

    // Released only once the destructor is (most likely) waiting for the read.
    std::thread release([gate] {
        std::this_thread::sleep_for(200ms);
        gate->count_down();
    });
    model.reset();  // a pause that could not be woken would hold this for an hour
    release.join();
    QTest::qWait(50);
    // The hot reading would have raised an alert had it been applied.
    EXPECT_TRUE(world_->alerts.empty());
}

TEST_F(JoulemapViewModelTest, ShutDownGivesUpOnAReadThatNeverReturns) {
    auto model = startModel();
    auto gate = refreshHeldAtTheRead(*model);

    // Opens the gate once the model is gone, or long after the wait should have given up.
    std::binary_semaphore destroyed(0);
    std::atomic<bool> openedFirst{false};
    std::thread release([&] {
        openedFirst = !destroyed.try_acquire_for(std::chrono::milliseconds(10 * JoulemapViewModel::kShutdownWaitMs));
        gate->count_down();
    });
    model.reset();
    destroyed.release();
    release.join();
    EXPECT_FALSE(openedFirst);
    // The read left behind finishes later; its result reaches no model and raises no alert.
    QTest::qWait(100);
    EXPECT_TRUE(world_->alerts.empty());
}

}  // namespace
}  // namespace joulemap
