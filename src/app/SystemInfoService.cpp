#include "SystemInfoService.h"

#include "MainThreadQueue.h"
#include "SystemInfoParser.h"
#include "SystemInfoSources.h"
#include "WorkerPool.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <utility>

namespace joulemap {

namespace {

// How long quitting waits for a description or measurement in flight before leaving it behind.
constexpr int kShutdownWaitMs = 1000;
constexpr std::size_t kWorkerThreads = 2;

// The services' own pool: at quit it gets a bounded wait, so one stuck read (a tool that never
// exits, a file that never answers) cannot keep the app from quitting. Never destroyed, as work
// may still be running at exit.
WorkerPool& workers() {
    static WorkerPool* const pool = [] {
        auto* created = new WorkerPool(kWorkerThreads);
        if (auto* app = QCoreApplication::instance()) {
            QObject::connect(app, &QCoreApplication::aboutToQuit, app,
                             [created] { created->waitForDone(std::chrono::milliseconds(kShutdownWaitMs)); });
        }
        return created;
    }();
    return *pool;
}

// Runs work on a pool thread and hands its result to apply on the main thread, but only while
// target still exists.
template <typename Work, typename Apply>
void runInBackground(SystemInfoService* target, Work work, Apply apply) {
    QPointer<SystemInfoService> guard(target);
    workers().start([guard, work = std::move(work), apply = std::move(apply)]() mutable {
        // The guard moves on with the result, so it is created and dropped on the main thread only.
        MainThreadQueue::post(std::move(guard), [apply = std::move(apply), result = work()](SystemInfoService& service) mutable {
            apply(service, std::move(result));
        });
    });
}

// The primary screen in device pixels, "2560 x 1600"; empty without a desktop.
std::string primaryScreenResolution() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QSize size = screen->size() * screen->devicePixelRatio();
    if (size.isEmpty()) return {};
    return std::to_string(size.width()) + " x " + std::to_string(size.height());
}

}  // namespace

SystemInfoService::SystemInfoService(std::shared_ptr<SystemInfoSource> source, Clock clock, QObject* parent)
    : QObject(parent), source_(std::move(source)), clock_(std::move(clock)) {
    if (!source_) source_ = makeSystemInfoSource();
    if (!clock_) clock_ = [] { return std::chrono::steady_clock::now(); };
    lastNetTime_ = clock_();
}

bool SystemInfoService::waitForBackgroundWork(int timeoutMs) {
    if (timeoutMs >= 0) return workers().waitForDone(std::chrono::milliseconds(timeoutMs));
    workers().waitForDone();
    return true;
}

void SystemInfoService::setInfo(SystemInfo info) {
    info_ = std::move(info);
    emit infoChanged();
}

void SystemInfoService::loadAsync() {
    // The worker keeps the source alive on its own, so it may outlast this service.
    runInBackground(
        this,
        [source = source_] {
            SystemInfo info = source->collect();
            std::string fallback =
                info.displayResolution.empty() ? source->displayResolutionFallback() : std::string{};
            return std::pair{std::move(info), std::move(fallback)};
        },
        [](SystemInfoService& self, std::pair<SystemInfo, std::string> collected) {
            self.applyCollected(std::move(collected.first), collected.second);
        });
}

void SystemInfoService::applyCollected(SystemInfo info, const std::string& resolutionFallback) {
    // The desktop knows which screen is the primary one; the source's own guess comes after it.
    if (info.displayResolution.empty()) info.displayResolution = primaryScreenResolution();
    if (info.displayResolution.empty()) info.displayResolution = resolutionFallback;
    setInfo(std::move(info));
}

void SystemInfoService::refreshNetwork() {
    // Taken now: a load or another refresh may change them before the worker is done.
    const uint64_t prevIn = lastNetIn_;
    const uint64_t prevOut = lastNetOut_;
    const auto prevTime = lastNetTime_;
    runInBackground(
        this, [source = source_] { return source->networkTotals(); },
        [prevIn, prevOut, prevTime](SystemInfoService& self,
                                    std::optional<std::pair<uint64_t, uint64_t>> totals) {
            self.applyNetwork(totals, prevIn, prevOut, prevTime);
        });
}

void SystemInfoService::applyNetwork(const std::optional<std::pair<uint64_t, uint64_t>>& totals,
                                     uint64_t prevIn, uint64_t prevOut,
                                     std::chrono::steady_clock::time_point prevTime) {
    const auto now = clock_();
    const double seconds = std::chrono::duration<double>(now - prevTime).count();
    auto rate = SystemInfoParser::networkRate(totals, prevIn, prevOut, seconds);
    lastNetIn_ = rate.inTotal;
    lastNetOut_ = rate.outTotal;
    lastNetTime_ = now;
    SystemInfo info = info_;
    info.networkDown = std::move(rate.down);
    info.networkUp = std::move(rate.up);
    setInfo(std::move(info));
}

}  // namespace joulemap
