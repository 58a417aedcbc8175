// Renders the main window offscreen into PNG files for fixed sample states in both themes, so the
// layout can be checked by eye without a desktop or a real battery.
//
//   joulemap_render [output-dir] [--scale=N] [--size=WxH]
//
// The output directory defaults to ./screenshots; --scale renders at N device pixels per pixel;
// --size renders at that window size only (by default both the first-start size, 1000x620, and the
// smallest the window allows, 900x560; images at sizes other than the first-start one carry the
// size in their names).
// Every state is filled through the model's own refresh path, from fake sources.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThreadPool>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppTheme.h"
#include "FixedAppearanceSource.h"
#include "JoulemapViewModel.h"
#include "MainView.h"
#include "SankeyView.h"
#include "SystemInfoService.h"
#include "SystemInfoSource.h"
#include "ThemeManager.h"

namespace {

using namespace joulemap;

constexpr QSize kDefaultWindowSize{1000, 620};
constexpr QSize kMinimumWindowSize{MainView::kMinimumWidth, MainView::kMinimumHeight};
// Enough refreshes to give every sparkline a shape.
constexpr int kRefreshes = 24;
constexpr int kWaitTimeoutMs = 5000;
// Longer than every transition of the window (the tooltip's fade, the health ring's sweep).
constexpr int kSettleMs = 1000;
constexpr int kRefreshSeconds = 3;

const QDateTime kStartTime(QDate(2024, 5, 17), QTime(14, 32, 5));

// Spins the event loop until `done` holds; false on timeout.
bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > kWaitTimeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A slow wobble, so the histories look like a working machine rather than a flat line.
double wobble(int step, double amplitude) {
    return amplitude * std::sin(step * 0.7) + amplitude * 0.4 * std::sin(step * 1.9 + 1);
}

BatteryInfo laptopBattery() {
    BatteryInfo b;
    b.cycleCount = 287;
    b.designCapacityMah = 4382;
    b.maxCapacityMah = 3987;
    b.designCycleCount = 1000;
    b.voltageMv = 11850;
    b.temperatureC = 33.4;
    return b;
}

std::optional<BatteryInfo> dischargingLaptop(int step) {
    BatteryInfo b = laptopBattery();
    const double watts = 14.5 + wobble(step, 2.5);
    b.batteryPowerMw = -watts * 1000;
    b.instantAmperageMa = b.batteryPowerMw / b.voltageMv * 1000;
    b.currentCapacityPct = 64 - step / 10;
    b.currentCapacityMah = b.maxCapacityMah * static_cast<double>(b.currentCapacityPct) / 100;
    b.timeRemainingMin = 205;
    b.chargingProtocol = "未知";
    return b;
}

std::optional<BatteryInfo> chargingLaptop(int step) {
    BatteryInfo b = laptopBattery();
    b.isExternalConnected = true;
    b.isCharging = true;
    b.adapterWatts = 65;
    b.adapterDescription = "USB-C 65W";
    b.chargingProtocol = "USB-PD";
    b.isPdFastCharge = true;
    const double chargeWatts = 18.6 + wobble(step, 1.5);
    const double inputWatts = 41.2 + wobble(step + 3, 3);
    b.systemPowerInMw = inputWatts * 1000;
    b.batteryPowerMw = chargeWatts * 1000;
    b.voltageMv = 12600;
    b.instantAmperageMa = b.batteryPowerMw / b.voltageMv * 1000;
    b.currentCapacityPct = 85;
    b.currentCapacityMah = b.maxCapacityMah * 0.85;
    b.timeRemainingMin = 38;
    b.temperatureC = 37.2;
    return b;
}

std::optional<BatteryInfo> desktopMachine(int) { return std::nullopt; }

// A fast charger filling the battery while small applications run: many thin bars close together.
std::optional<BatteryInfo> fastChargingLaptop(int step) {
    std::optional<BatteryInfo> b = chargingLaptop(step);
    b->adapterWatts = 100;
    b->adapterDescription = "USB-C 100W";
    b->systemPowerInMw = (88 + wobble(step, 2)) * 1000;
    b->batteryPowerMw = (58 + wobble(step + 2, 1.5)) * 1000;
    b->currentCapacityPct = 41;
    return b;
}

std::vector<AppShare> sixApplications() {
    return {
        {"Chrome", std::nullopt, 0.26},         {"VS Code", std::nullopt, 0.17}, {"微信", std::nullopt, 0.09},
        {"Slack", std::nullopt, 0.06},          {"Spotify", std::nullopt, 0.04}, {"终端", std::nullopt, 0.03},
        {kSystemShareName, std::nullopt, 0.22},
    };
}

std::vector<AppShare> smallApplications() {
    return {
        {"Chrome", std::nullopt, 0.02},   {"VS Code", std::nullopt, 0.012},
        {"微信", std::nullopt, 0.01},     {"Slack", std::nullopt, 0.008},
        {"Spotify", std::nullopt, 0.006}, {kSystemShareName, std::nullopt, 0.9},
    };
}

class SampleSystemInfo : public SystemInfoSource {
public:
    explicit SampleSystemInfo(bool laptop) : laptop_(laptop) {}

    SystemInfo collect() override {
        SystemInfo info;
        info.modelName = laptop_ ? "ThinkPad X1 Carbon Gen 11" : "OptiPlex 7010";
        info.chipName = laptop_ ? "13th Gen Intel(R) Core(TM) i7-1365U" : "AMD Ryzen 7 7700";
        info.coreCount = laptop_ ? "10" : "8";
        info.memoryGB = laptop_ ? "16 GB" : "32 GB";
        info.diskCapacityGB = laptop_ ? "512 GB" : "1 TB";
        info.diskFreeGB = laptop_ ? "203 GB" : "611 GB";
        info.gpuName = laptop_ ? "Intel Iris Xe Graphics" : "AMD Radeon RX 7600";
        info.displayResolution = "1920 x 1200";
        info.serialNumber = laptop_ ? "PF3K8Q2Z" : "";
        return info;
    }

    std::optional<std::pair<uint64_t, uint64_t>> networkTotals() override {
        // About 1.2 MB/s down and 35 KB/s up over the fake clock's 3 s steps.
        const uint64_t step = calls_++;
        return std::pair{kBaseIn + step * 3'700'000ULL, kBaseOut + step * 105'000ULL};
    }

private:
    static constexpr uint64_t kBaseIn = 8'500'000'000ULL;
    static constexpr uint64_t kBaseOut = 960'000'000ULL;
    bool laptop_;
    std::atomic<uint64_t> calls_{0};
};

struct Scene {
    const char* name;
    std::function<std::optional<BatteryInfo>(int)> battery;
    std::optional<std::string> highlightedId;
    std::function<std::vector<AppShare>()> apps = sixApplications;
};

// One model, service and view for a scene, rendered once per theme.
bool renderScene(const Scene& scene, QSize windowSize, const QDir& outDir, const QString& settingsFile) {
    auto step = std::make_shared<std::atomic<int>>(0);
    auto clockSteps = std::make_shared<int>(0);

    ModelSources sources;
    sources.readBattery = [battery = scene.battery, step] { return battery(step->load()); };
    sources.readHealth = [] { return int64_t{91}; };
    sources.sampleProcesses = scene.apps;
    sources.now = [clockSteps] { return kStartTime.addSecs(qint64(kRefreshSeconds) * (*clockSteps)++); };
    sources.writeHistory = [](double, double, double, double) {};
    sources.notify = [](const AlertMessage&) {};
    // One sample is enough: the loop then sleeps for the rest of the run.
    sources.pauseAfterSample = std::chrono::hours(1);
    sources.pauseAfterEmptySample = std::chrono::hours(1);

    FixedAppearanceSource appearance(false);
    ThemeManager themeManager(settingsFile, &appearance);
    themeManager.setTheme(AppTheme::light);

    auto networkClock = std::make_shared<std::chrono::steady_clock::time_point>();
    const bool laptop = scene.battery(0).has_value();
    SystemInfoService systemInfo(std::make_shared<SampleSystemInfo>(laptop), [networkClock] {
        *networkClock += std::chrono::seconds(kRefreshSeconds);
        return *networkClock;
    });

    bool ok = true;
    {
        JoulemapViewModel model(sources);
        model.setThemeManager(&themeManager);
        int refreshes = 0;
        QObject::connect(&model, &JoulemapViewModel::refreshed, [&refreshes] { ++refreshes; });

        MainView view(model, themeManager, systemInfo);
        view.resize(windowSize);
        view.show();

        ok = waitFor([&] { return !model.lastAppShares().empty() && refreshes > 0; });
        for (int i = 0; ok && i < kRefreshes; ++i) {
            step->store(i + 1);
            const int before = refreshes;
            model.refresh();
            ok = waitFor([&] { return refreshes > before; });
        }
        // The first network reading only sets the baseline; the later ones have a rate.
        ok = ok && waitFor([&] { return systemInfo.info().isLoaded(); });
        for (int i = 0; ok && i < 2; ++i) {
            const uint64_t baseline = systemInfo.lastNetIn();
            systemInfo.refreshNetwork();
            ok = waitFor([&] { return systemInfo.lastNetIn() != baseline; });
        }
        QThreadPool::globalInstance()->waitForDone();
        if (scene.highlightedId) view.sankeyView()->onHover(scene.highlightedId);
        settle(kSettleMs);

        for (const AppTheme theme : {AppTheme::light, AppTheme::dark}) {
            themeManager.setTheme(theme);
            settle(50);
            const QString sizeSuffix =
                windowSize == kDefaultWindowSize
                    ? QString()
                    : QStringLiteral("-%1x%2").arg(windowSize.width()).arg(windowSize.height());
            const QString path =
                outDir.filePath(QStringLiteral("main-%1-%2%3.png").arg(scene.name, token(theme), sizeSuffix));
            if (!view.grab().save(path)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                ok = false;
            } else {
                std::printf("%s\n", qPrintable(path));
            }
        }
        if (!ok) std::fprintf(stderr, "scene %s did not settle\n", scene.name);
    }
    // Results of background reads still on their way must land before the service goes away.
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QString outPath = QStringLiteral("screenshots");
    std::vector<QSize> windowSizes{kDefaultWindowSize, kMinimumWindowSize};
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1String("--scale="))) {
            qputenv("QT_SCALE_FACTOR", arg.mid(8).toLatin1());
        } else if (arg.startsWith(QLatin1String("--size="))) {
            const QStringList parts = arg.mid(7).split(QLatin1Char('x'));
            const QSize size = parts.size() == 2 ? QSize(parts[0].toInt(), parts[1].toInt()) : QSize();
            if (size.isEmpty()) {
                std::fprintf(stderr, "--size wants WIDTHxHEIGHT, e.g. --size=1000x720\n");
                return 2;
            }
            windowSizes = {size};
        } else {
            outPath = arg;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("JoulemapRender"));
    QApplication::setApplicationName(QStringLiteral("JoulemapRender"));

    QDir outDir(outPath);
    if (!outDir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(outPath));
        return 1;
    }
    QTemporaryDir settingsDir;
    const QString settingsFile = settingsDir.filePath(QStringLiteral("settings.ini"));

    const std::vector<Scene> scenes{
        {"discharging", dischargingLaptop, std::nullopt},
        {"charging", chargingLaptop, std::nullopt},
        {"desktop", desktopMachine, std::nullopt},
        {"highlight", dischargingLaptop, std::string("Chrome")},
        {"crowded", fastChargingLaptop, std::nullopt, smallApplications},
    };
    bool ok = true;
    for (const QSize windowSize : windowSizes) {
        for (const Scene& scene : scenes) ok = renderScene(scene, windowSize, outDir, settingsFile) && ok;
    }
    return ok ? 0 : 1;
}
