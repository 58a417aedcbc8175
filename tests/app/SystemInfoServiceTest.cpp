#include "SystemInfoService.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QThreadPool>

#include <atomic>
#include <future>

namespace joulemap {
namespace {

using namespace std::chrono_literals;
using Totals = std::optional<std::pair<uint64_t, uint64_t>>;

// The test changes what it answers only while no worker runs; collect() waits for the gate when set.
struct FakeSource : SystemInfoSource {
    SystemInfo collect() override {
        if (gate) gate->wait();
        ++collected;
        return info;
    }
    Totals networkTotals() override { return totals; }
    std::string displayResolutionFallback() override { return "1280 x 800"; }

    SystemInfo info;
    Totals totals;
    std::optional<std::shared_future<void>> gate;
    std::atomic<int> collected = 0;
};

const SystemInfo kDescribedMachine{
    .chipName = "Apple M2", .coreCount = "8", .memoryGB = "16 GB", .displayResolution = "2560 x 1664 Retina"};

void publish(SystemInfoService& service, void (SystemInfoService::*call)()) {
    QSignalSpy spy(&service, &SystemInfoService::infoChanged);
    (service.*call)();
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(spy.count(), 1);
}

TEST(SystemInfoServiceTest, RatesAreMeasuredAgainstThePreviousCountersAndAtLeastOneSecond) {
    auto source = std::make_shared<FakeSource>();
    const std::chrono::steady_clock::time_point created{std::chrono::hours(100)};
    auto now = created;
    SystemInfoService service(source, [&now] { return now; });

    // The first rate is taken against zero counters since the service was created.
    source->totals = std::pair<uint64_t, uint64_t>{3'145'728, 2'048};
    now += 3s;
    publish(service, &SystemInfoService::refreshNetwork);
    const auto rates = [&] { return std::pair(service.info().networkDown, service.info().networkUp); };
    const auto measured = [&] { return std::tuple(service.lastNetIn(), service.lastNetOut(), service.lastNetTime()); };
    EXPECT_EQ(rates(), (std::pair<std::string, std::string>("1.0 MB/s", "682 B/s")));
    EXPECT_EQ(measured(), std::tuple(3'145'728u, 2'048u, created + 3s));

    // No counters: the row goes away and the next measurement starts from zero again.
    source->totals = std::nullopt;
    now += 3s;
    publish(service, &SystemInfoService::refreshNetwork);
    EXPECT_EQ(rates(), (std::pair<std::string, std::string>()));
    EXPECT_EQ(measured(), std::tuple(0u, 0u, created + 6s));
}

TEST(SystemInfoServiceTest, LoadingReplacesTheWholeDescriptionAndFillsTheResolution) {
    auto source = std::make_shared<FakeSource>();
    SystemInfoService service(source);
    EXPECT_FALSE(service.info().isLoaded());

    source->totals = std::pair<uint64_t, uint64_t>{1'000, 1'000};
    publish(service, &SystemInfoService::refreshNetwork);
    ASSERT_FALSE(service.info().networkDown.empty());

    source->info = kDescribedMachine;
    publish(service, &SystemInfoService::loadAsync);
    EXPECT_EQ(service.info(), kDescribedMachine);  // network texts emptied until the next refresh

    // A source that cannot tell the resolution leaves it to the primary screen before its own fallback.
    source->info.displayResolution.clear();
    publish(service, &SystemInfoService::loadAsync);
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);  // the offscreen platform has one
    const QSize pixels = screen->size() * screen->devicePixelRatio();
    EXPECT_EQ(service.info().displayResolution,
              std::to_string(pixels.width()) + " x " + std::to_string(pixels.height()));
}

TEST(SystemInfoServiceTest, ResultsArrivingAfterTheServiceIsGoneAreDropped) {
    auto source = std::make_shared<FakeSource>();
    source->info = kDescribedMachine;
    std::promise<void> release;
    source->gate = release.get_future().share();

    auto service = std::make_unique<SystemInfoService>(source);
    service->loadAsync();
    service->refreshNetwork();
    service.reset();
    release.set_value();
    SystemInfoService::waitForBackgroundWork();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(source->collected, 1);  // the work itself ran to its end
}

}  // namespace
}  // namespace joulemap
