// Renders the main window, the tray panel, the auxiliary windows, the update notice and the tray
// titles offscreen into PNG files for fixed sample states in both themes, so the layout can be
// checked by eye without a desktop or a real battery.
//
//   joulemap_render [output-dir] [--scale=N] [--size=WxH]
//
// The output directory defaults to ./screenshots; --scale renders at N device pixels per pixel, into
// a folder named after the scale inside the output directory (DIR/2x for --scale=2), so a 2x set
// sits beside the 1x one under the same file names;
// --size renders at that window size only (by default both the first-start size, 1000x620, and the
// smallest the window allows, 900x560; images at sizes other than the first-start one carry the
// size in their names).
// Everything is rendered twice: in Chinese into the output directory, in English into its "en"
// folder (DIR/en, DIR/en/2x).
// Every state is filled through the model's own refresh path, from fake sources.

#include <QApplication>
#include <QPainter>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AppTheme.h"
#include "BatteryHealthView.h"
#include "ChangelogView.h"
#include "ChargeLimitService.h"
#include "ChargeSettingsBlock.h"
#include "FixedAppearanceSource.h"
#include "HistoryChartCard.h"
#include "HistoryStore.h"
#include "HistoryVersionCard.h"
#include "HistoryView.h"
#include "JoulemapShell.h"
#include "JoulemapViewModel.h"
#include "MainHeader.h"
#include "MainView.h"
#include "MenuBarView.h"
#include "SankeyView.h"
#include "SettingsView.h"
#include "SystemInfoService.h"
#include "SystemInfoSource.h"
#include "ThemeManager.h"
#include "TrayTitleIcon.h"
#include "Translations.h"
#include "Typography.h"
#include "UpdateChecker.h"
#include "UpdateNoticeView.h"

#include <sqlite3.h>

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
    b.currentCapacityMah = b.maxCapacityMah * static_cast<double>(*b.currentCapacityPct) / 100;
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

// A 15 W phone charger on a notebook drawing more: plugged in, and the battery still gives 10 W.
std::optional<BatteryInfo> weakChargerLaptop(int step) {
    std::optional<BatteryInfo> b = dischargingLaptop(step);
    b->isExternalConnected = true;
    b->adapterWatts = 15;
    b->batteryPowerMw = -(10 + wobble(step, 0.8)) * 1000;
    b->instantAmperageMa = b->batteryPowerMw / b->voltageMv * 1000;
    return b;
}

// Plugged in and held at an 80 % charge limit: the driver reports "Not charging".
std::optional<BatteryInfo> heldAtLimitLaptop(int step) {
    std::optional<BatteryInfo> b = chargingLaptop(step);
    b->isCharging = false;
    b->chargeEndThresholdPct = 80;
    b->chargeStartThresholdPct = 75;
    b->currentCapacityPct = 80;
    b->currentCapacityMah = b->maxCapacityMah * 0.8;
    b->batteryPowerMw = 0;
    b->instantAmperageMa = 0;
    b->systemPowerInMw = (12 + wobble(step, 1)) * 1000;
    b->timeRemainingMin = 0;
    return b;
}

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
    // The header's notice for a desktop without a tray.
    bool noTray = false;
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
    sources.writeHistory = [](double, double, double, double, const std::vector<AppEnergy>&) {};
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
        if (scene.noTray) view.header()->setNotice(JoulemapShell::noTrayNotice());
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
        SystemInfoService::waitForBackgroundWork();
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
    SystemInfoService::waitForBackgroundWork();
    QCoreApplication::processEvents();
    return ok;
}

// The health card alone: a notebook with two batteries, and a driver that reports no capacities.
bool renderHealthCards(const QDir& outDir, const QString& settingsFile) {
    BatteryInfo two = laptopBattery();
    two.designCapacityMah = 7000;
    two.maxCapacityMah = 6417;
    two.batteries = {{"BAT0", 73, 5000, 4500, 112, 31.5}, {"BAT1", 87, 2000, 1917, 300, 29.0}};
    const BatteryInfo unknown;  // no capacities, no temperature
    const std::vector<std::pair<const char*, BatteryInfo>> cards{
        {"two-batteries", two}, {"unknown", unknown}, {"held-at-limit", *heldAtLimitLaptop(0)}};

    FixedAppearanceSource appearance(false);
    ThemeManager themeManager(settingsFile, &appearance);
    bool ok = true;
    for (const auto& [name, battery] : cards) {
        BatteryHealthView view;
        view.setThemeManager(&themeManager);
        view.setBattery(battery);
        view.resize(view.sizeHint());
        for (const AppTheme theme : {AppTheme::light, AppTheme::dark}) {
            themeManager.setTheme(theme);
            const QString path = outDir.filePath(QStringLiteral("health-%1-%2.png").arg(name, token(theme)));
            if (!view.grab().save(path)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                ok = false;
            } else {
                std::printf("%s\n", qPrintable(path));
            }
        }
    }
    return ok;
}

// An updater frozen in one state of the panel's notice.
class PreviewUpdateChecker : public UpdateChecker {
public:
    PreviewUpdateChecker(UpdateProgress progress, bool oneClick)
        : UpdateChecker(linuxUpdatePlatform("/home/preview", "/tmp"), QStringLiteral("1.2.0"),
                        oneClick ? QStringLiteral("/home/preview/Applications/Joulemap.app/bin/joulemap")
                                 : QStringLiteral("/usr/bin/joulemap"),
                        {}) {
        setAvailable(UpdateInfo{"1.3.0", "https://example.org/joulemap/Joulemap-1.3.0.tar.gz",
                                "更准确的功率估算，历史窗口更快", {}, {}});
        setProgress(std::move(progress));
    }
};

// Every state of the update notice, stacked in a panel as wide as the tray panel.
bool renderUpdateNotices(const QDir& outDir, const QString& settingsFile) {
    constexpr int kPanelWidth = 360;
    constexpr int kPanelPadding = 14;
    FixedAppearanceSource appearance(false);
    ThemeManager themeManager(settingsFile, &appearance);
    const std::pair<UpdateProgress, bool> states[] = {
        {UpdateProgress::idle(), true},
        {UpdateProgress::idle(), false},
        {UpdateProgress::downloading(0.427), true},
        {UpdateProgress::installing(), true},
        {UpdateProgress::done(), true},
        {UpdateProgress::failed("dmg 中未找到 .app"), true},
    };
    QWidget panel;
    auto* layout = new QVBoxLayout(&panel);
    layout->setContentsMargins(kPanelPadding, kPanelPadding, kPanelPadding, kPanelPadding);
    layout->setSpacing(kPanelPadding);
    std::vector<std::unique_ptr<PreviewUpdateChecker>> checkers;
    for (const auto& [progress, oneClick] : states) {
        checkers.push_back(std::make_unique<PreviewUpdateChecker>(progress, oneClick));
        layout->addWidget(new UpdateNoticeView(checkers.back().get(), &themeManager, &panel));
    }
    panel.setFixedWidth(kPanelWidth);
    panel.setAutoFillBackground(true);
    panel.show();
    bool ok = true;
    for (const AppTheme theme : {AppTheme::light, AppTheme::dark}) {
        themeManager.setTheme(theme);
        QPalette palette = panel.palette();
        palette.setColor(QPalette::Window, themeManager.palette().backgroundColors.front());
        panel.setPalette(palette);
        panel.adjustSize();
        settle(50);
        const QString path = outDir.filePath(QStringLiteral("update-notice-%1.png").arg(token(theme)));
        if (!panel.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok = false;
        } else {
            std::printf("%s\n", qPrintable(path));
        }
    }
    return ok;
}


// Saves `widget` once per theme as <stem>-light.png and <stem>-dark.png.
bool saveThemed(QWidget& widget, ThemeManager& themeManager, const QDir& outDir, const QString& stem) {
    bool ok = true;
    for (const AppTheme theme : {AppTheme::light, AppTheme::dark}) {
        themeManager.setTheme(theme);
        settle(50);
        const QString path = outDir.filePath(QStringLiteral("%1-%2.png").arg(stem, token(theme)));
        if (!widget.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok = false;
        } else {
            std::printf("%s\n", qPrintable(path));
        }
    }
    return ok;
}

constexpr QSize kHistoryWindowSize{720, 560};
constexpr QSize kChangelogWindowSize{560, 620};
constexpr int kHistoryFullHeight = 1200;
constexpr int kChangelogFullHeight = 900;
constexpr int64_t kSampleSeconds = 30;

// A week of a working notebook: charging in the morning, on battery in the afternoon, asleep at
// night (no samples), written in one transaction.
void fillWeek(const std::filesystem::path& file, int64_t now) {
    sqlite3* db = nullptr;
    sqlite3_open(file.string().c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO power_log VALUES (?,?,?,?,?)", -1, &stmt, nullptr);
    sqlite3_stmt* energy = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO app_energy VALUES (?1,(SELECT id FROM app_names WHERE name = ?2),?3,?4)", -1, &energy, nullptr);
    sqlite3_stmt* hourly = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO app_energy_hourly VALUES (?1 - ?1 % 3600,(SELECT id FROM app_names WHERE name = ?2),?3,?4) "
                       "ON CONFLICT DO UPDATE SET uwh = uwh + excluded.uwh",
                       -1, &hourly, nullptr);
    // The consumption's split among applications, as the flow would give it.
    const std::pair<const char*, double> apps[] = {
        {"系统", 0.38}, {"Firefox", 0.24}, {"VS Code", 0.12}, {"Slack", 0.06}, {"终端", 0.04},
        {"Spotify", 0.03}, {"Thunderbird", 0.02}, {"LibreOffice, Writer", 0.02}, {"GIMP", 0.015},
        {"Steam", 0.012}, {"Zoom", 0.01}, {"其他应用", 0.093},
    };
    for (const auto& app : apps) {
        sqlite3_exec(db, ("INSERT INTO app_names (name) VALUES ('" + std::string(app.first) + "')").c_str(), nullptr,
                     nullptr, nullptr);
    }
    double pct = 40;
    for (int64_t ts = now - 7 * 86'400; ts <= now - 60; ts += kSampleSeconds) {
        const int hour = QDateTime::fromSecsSinceEpoch(ts).time().hour();
        if (hour < 7) continue;  // asleep
        const bool charging = hour < 12 || hour >= 21;
        const int step = static_cast<int>(ts / kSampleSeconds);
        const double system = 9 + wobble(step / 20, 3) + (hour == 15 ? 8 : 0);
        const double charge = charging && pct < 100 ? 18 + wobble(step / 7, 2) : 0;
        const double input = charging ? system + charge : system;
        pct = std::clamp(pct + (charging ? 0.05 : -0.035), 5.0, 100.0);
        sqlite3_bind_int64(stmt, 1, ts);
        sqlite3_bind_double(stmt, 2, input);
        sqlite3_bind_double(stmt, 3, system);
        sqlite3_bind_double(stmt, 4, std::floor(pct));
        sqlite3_bind_double(stmt, 5, charging ? charge : -system);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
        for (const auto& [app, fraction] : apps) {
            // Video calls in the afternoon: Zoom leads while on battery.
            const double share = std::string_view(app) == "Zoom" && !charging ? 0.2 : fraction;
            for (sqlite3_stmt* row : {energy, hourly}) {
                sqlite3_bind_int64(row, 1, ts);
                sqlite3_bind_text(row, 2, app, -1, SQLITE_STATIC);
                sqlite3_bind_int(row, 3, charging ? 0 : 1);
                sqlite3_bind_int64(row, 4, std::llround(system * share * kSampleSeconds / 3600 * 1e6));  // µWh
                sqlite3_step(row);
                sqlite3_reset(row);
            }
        }
    }
    sqlite3_finalize(energy);
    sqlite3_finalize(hourly);
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The history window with a week of samples (day and week range, the day one with the pointer over
// the chart) and with an empty database.
bool renderHistoryWindows(const QDir& outDir, const QString& settingsFile, const QTemporaryDir& scratch) {
    FixedAppearanceSource appearance(false);
    ThemeManager themeManager(settingsFile, &appearance);
    bool ok = true;

    const auto now = static_cast<double>(QDateTime::currentSecsSinceEpoch());
    const std::filesystem::path file = scratch.filePath(QStringLiteral("history.db")).toStdString();
    double alertTime = now - 3 * 3600;
    HistoryStore store(file, [&alertTime] { return alertTime; });
    fillWeek(file, static_cast<int64_t>(now));
    store.insertAlert("highTemp", "电池温度过高", "电池温度 46.2°C，建议移除高负载任务");
    alertTime = now - 26 * 3600;
    store.insertAlert("highDrain", "耗电异常", "Chrome 持续占用较多电量（CPU 占比 85%）");
    alertTime = now;  // the store's clock also ends the range it reads

    HistoryStore empty{std::filesystem::path()};
    struct Shot {
        HistoryStore* store;
        int64_t hours;
        std::optional<double> hoverFraction;
        const char* stem;
        QSize size = kHistoryWindowSize;
    };
    const Shot shots[] = {
        {&store, 24, 0.62, "history-day"},
        {&store, 168, std::nullopt, "history-week"},
        {&empty, 24, std::nullopt, "history-empty"},
        // Tall enough to show the table and the alert log below the fold.
        {&store, 24, std::nullopt, "history-day-full", {kHistoryWindowSize.width(), kHistoryFullHeight}},
    };
    for (const Shot& shot : shots) {
        HistoryView view(&themeManager, shot.store);
        view.resize(shot.size);
        int loads = 0;
        QObject::connect(&view, &HistoryView::loaded, [&loads] { ++loads; });
        view.show();
        ok = waitFor([&loads] { return loads > 0; }) && ok;
        if (shot.hours != view.selectedHours()) {
            view.setSelectedHours(shot.hours);
            ok = waitFor([&loads] { return loads > 1; }) && ok;
        }
        if (shot.hoverFraction) {
            HistoryChartCard* chart = view.chartCard();
            const QRectF area = chart->chartRect();
            const QPointF at(area.left() + area.width() * *shot.hoverFraction, area.center().y());
            QMouseEvent move(QEvent::MouseMove, at, chart->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(chart, &move);
        }
        ok = saveThemed(view, themeManager, outDir, QString::fromLatin1(shot.stem)) && ok;
    }
    return ok;
}

// A sample release history: a newer release than the running one on top, one older release
// opened, and the running version marked.
constexpr const char* kSampleReleases = R"({"versions": [
  {"version": "0.2.0", "date": "2027-01-18", "summary": "历史窗口更快，托盘图标在高分屏上更清晰。",
   "groups": [
     {"kind": "added", "title": "新", "items": [{"title": "历史窗口的 7 天视图", "detail": "按像素宽度精简曲线，一周的数据也能立即显示。"},
                                              {"title": "登录时启动", "detail": ""}]},
     {"kind": "fixed", "title": "修", "items": [{"title": "深色外观下的滚动条颜色", "detail": ""}]}]},
  {"version": "0.1.1", "date": "2026-12-20", "summary": "",
   "groups": [
     {"kind": "changed", "title": "改", "items": [{"title": "放电时的入口功率标注为估算", "detail": "没有适配器读数时按电池输出推算。"}]},
     {"kind": "Misc", "title": "杂", "items": [{"title": "更新翻译", "detail": ""}]}]},
  {"version": "0.1.0", "date": "2026-12-07", "summary": "第一个版本。", "groups": []}
]})";

bool renderChangelogWindows(const QDir& outDir, const QString& settingsFile, const QTemporaryDir& scratch) {
    FixedAppearanceSource appearance(false);
    ThemeManager themeManager(settingsFile, &appearance);
    QFile releases(scratch.filePath(QStringLiteral("versions.json")));
    if (!releases.open(QIODevice::WriteOnly) || releases.write(kSampleReleases) < 0) return false;
    releases.close();

    ChangelogView view(&themeManager);
    view.setCurrentVersion(QStringLiteral("0.1.0"));
    view.setSources({releases.fileName().toStdString()});
    view.resize(kChangelogWindowSize);
    view.show();
    if (view.olderCards().empty()) return false;
    view.olderCards().front()->setExpanded(true);
    settle(kSettleMs / 2);
    bool ok = saveThemed(view, themeManager, outDir, QStringLiteral("changelog"));
    // Tall enough for every release, to check the last one's badge.
    view.resize(kChangelogWindowSize.width(), kChangelogFullHeight);
    settle(50);
    return saveThemed(view, themeManager, outDir, QStringLiteral("changelog-full")) && ok;
}

// The tray panel for a scene and the settings window, each in both themes.
bool renderShellWindows(const Scene& scene, const QDir& outDir, const QString& settingsFile) {
    auto step = std::make_shared<std::atomic<int>>(0);
    ModelSources sources;
    sources.readBattery = [battery = scene.battery, step] { return battery(step->load()); };
    sources.readHealth = [] { return int64_t{91}; };
    sources.sampleProcesses = [] { return sixApplications(); };
    sources.writeHistory = [](double, double, double, double, const std::vector<AppEnergy>&) {};
    sources.notify = [](const AlertMessage&) {};
    sources.pauseAfterSample = std::chrono::hours(1);
    sources.pauseAfterEmptySample = std::chrono::hours(1);

    FixedAppearanceSource appearance(false);
    ThemeManager themeManager(settingsFile, &appearance);
    bool ok = true;
    {
        JoulemapViewModel model(sources);
        model.setThemeManager(&themeManager);
        int refreshes = 0;
        QObject::connect(&model, &JoulemapViewModel::refreshed, [&refreshes] { ++refreshes; });
        ok = waitFor([&] { return !model.lastAppShares().empty() && refreshes > 0; });
        const int before = refreshes;
        model.refresh();
        ok = ok && waitFor([&] { return refreshes > before; });

        MenuBarView panel(model, themeManager);
        SettingsView settings(&themeManager);
        // A scratch autostart file: the row shows as on a desktop, and the real one is never touched.
        QTemporaryDir autostartDir;
        settings.setAutostart(std::filesystem::path(autostartDir.filePath(QStringLiteral("joulemap.desktop")).toStdString()),
                              QStringLiteral("/usr/bin/joulemap"));
        settings.resize(440, 680);
        struct Shot {
            QWidget* widget;
            QString name;
        };
        const Shot shots[] = {{&panel, QStringLiteral("panel-%1").arg(scene.name)}, {&settings, QStringLiteral("settings")}};
        for (const AppTheme theme : {AppTheme::light, AppTheme::dark}) {
            themeManager.setTheme(theme);
            for (const Shot& shot : shots) {
                if (shot.widget == &settings) {
                    // The window paints its background behind the view.
                    QPalette palette = settings.palette();
                    palette.setColor(QPalette::Window, themeManager.palette().backgroundColors.front());
                    settings.setPalette(palette);
                    settings.setAutoFillBackground(true);
                }
                shot.widget->show();
                settle(50);
                const QString path = outDir.filePath(QStringLiteral("%1-%2.png").arg(shot.name, token(theme)));
                if (!shot.widget->grab().save(path)) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                    ok = false;
                } else {
                    std::printf("%s\n", qPrintable(path));
                }
            }
        }
    }
    SystemInfoService::waitForBackgroundWork();
    QCoreApplication::processEvents();
    return ok;
}

// A driver in memory reporting a fixed limit, for the settings window's charge part.
class SampleChargeLimit : public ChargeLimitControl {
public:
    SampleChargeLimit(int endPct, bool writable) : endPct_(endPct), writable_(writable) {}
    ChargeLimitState read() override {
        return {endPct_, 0, writable_, writable_ ? ChargeLimitIssue::none : ChargeLimitIssue::notWritable};
    }
    ChargeLimitState setEndThreshold(int endPct) override {
        if (writable_) endPct_ = endPct;
        return read();
    }

private:
    int endPct_;
    bool writable_;
};

// The settings window with a charge limit the user may set (a custom 85 %) and one they may not.
bool renderChargeSettings(const QDir& outDir, const QString& settingsFile) {
    FixedAppearanceSource appearance(false);
    ThemeManager themeManager(settingsFile, &appearance);
    themeManager.setChargeHighAlertEnabled(true);
    bool ok = true;
    for (const auto& [name, writable] : {std::pair{"settings-limit", true}, std::pair{"settings-limit-locked", false}}) {
        ChargeLimitService service(std::make_unique<SampleChargeLimit>(85, writable), &themeManager);
        SettingsView settings(&themeManager);
        settings.setAutostart(std::nullopt, {});
        settings.chargeSettings()->setChargeLimitService(&service);
        settings.resize(440, 680);
        for (const AppTheme theme : {AppTheme::light, AppTheme::dark}) {
            themeManager.setTheme(theme);
            QPalette palette = settings.palette();
            palette.setColor(QPalette::Window, themeManager.palette().backgroundColors.front());
            settings.setPalette(palette);
            settings.setAutoFillBackground(true);
            settings.show();
            settle(50);
            const QString path = outDir.filePath(QStringLiteral("%1-%2.png").arg(QString::fromLatin1(name), token(theme)));
            if (!settings.grab().save(path)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                ok = false;
            } else {
                std::printf("%s\n", qPrintable(path));
            }
        }
    }
    themeManager.setChargeHighAlertEnabled(false);
    return ok;
}

// The tray titles as a tray shows them, on a light and a dark panel, at the sizes trays ask for,
// at 1x and 2x, each row ending in a panel's own text at 11, 12 and 13 px to compare with.
bool renderTrayTitles(const QDir& outDir) {
    constexpr int kSides[] = {16, 22, 24, 32};
    constexpr double kTextSizes[] = {11, 12, 13};
    constexpr int kGap = 6;
    constexpr int kLabelWidth = 56;
    constexpr int kTextWidth = 64;
    constexpr int kSheetRatio = 2;
    const QStringList titles{QStringLiteral("85%"), QStringLiteral("⚡85%"), QStringLiteral("⚡100%"),
                             QStringLiteral("100%"), QStringLiteral("⚡")};
    struct Panel {
        QColor background;
        QColor text;
    };
    const Panel panels[] = {{QColor(0xf2, 0xf2, 0xf2), QColor(0x1c, 0x1c, 0x1e)},
                            {QColor(0x20, 0x20, 0x24), QColor(0xee, 0xee, 0xee)}};
    const qreal ratios[] = {1.0, 2.0};
    int rowsHeight = 0;
    for (const int side : kSides) rowsHeight += side + kGap;
    const int width = kLabelWidth + static_cast<int>(titles.size()) * (kSides[std::size(kSides) - 1] + kGap) +
                      static_cast<int>(std::size(kTextSizes)) * kTextWidth;
    const int height = static_cast<int>(std::size(panels) * std::size(ratios)) * rowsHeight + kGap;
    QImage sheet(QSize(width, height) * kSheetRatio, QImage::Format_ARGB32_Premultiplied);
    sheet.setDevicePixelRatio(kSheetRatio);
    sheet.fill(Qt::transparent);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    int y = kGap;
    for (const Panel& panel : panels) {
        for (const qreal ratio : ratios) {
            for (const int side : kSides) {
                p.fillRect(QRect(0, y - kGap / 2, width, side + kGap), panel.background);
                p.setPen(panel.text);
                p.setFont(Typography::font(10));
                p.drawText(QRect(kGap, y, kLabelWidth, side), Qt::AlignVCenter,
                           QStringLiteral("%1px %2x").arg(side).arg(ratio));
                int x = kLabelWidth;
                for (const QString& title : titles) {
                    QImage icon = TrayTitleIcon::render(title, side, ratio);
                    // A 1x icon is shown as a 1x tray would: each pixel doubled on this 2x sheet.
                    if (ratio < kSheetRatio) {
                        icon = icon.scaled(icon.size() * kSheetRatio, Qt::IgnoreAspectRatio, Qt::FastTransformation);
                    }
                    icon.setDevicePixelRatio(kSheetRatio);
                    p.drawImage(QPoint(x, y), icon);
                    x += kSides[std::size(kSides) - 1] + kGap;
                }
                for (const double textSize : kTextSizes) {
                    p.setFont(Typography::font(textSize));
                    p.drawText(QRect(x, y, kTextWidth, side), Qt::AlignVCenter,
                               QStringLiteral("85% %1").arg(textSize));
                    x += kTextWidth;
                }
                y += side + kGap;
            }
        }
    }
    p.end();
    const QString path = outDir.filePath(QStringLiteral("tray-titles.png"));
    if (!sheet.save(path)) return false;
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

bool renderAll(const QDir& outDir, const QString& settingsFile, const std::vector<QSize>& windowSizes) {
    const std::vector<Scene> scenes{
        {"discharging", dischargingLaptop, std::nullopt},
        {"charging", chargingLaptop, std::nullopt},
        {"desktop", desktopMachine, std::nullopt},
        {"weak-charger", weakChargerLaptop, std::nullopt},
        {"held-at-limit", heldAtLimitLaptop, std::nullopt},
        {"highlight", dischargingLaptop, std::string("Chrome")},
        {"crowded", fastChargingLaptop, std::nullopt, smallApplications},
        {"no-tray", dischargingLaptop, std::nullopt, sixApplications, true},
    };
    bool ok = true;
    for (const QSize windowSize : windowSizes) {
        for (const Scene& scene : scenes) ok = renderScene(scene, windowSize, outDir, settingsFile) && ok;
    }
    ok = renderHealthCards(outDir, settingsFile) && ok;
    ok = renderUpdateNotices(outDir, settingsFile) && ok;
    QTemporaryDir auxScratch;
    ok = renderHistoryWindows(outDir, settingsFile, auxScratch) && ok;
    ok = renderChangelogWindows(outDir, settingsFile, auxScratch) && ok;
    ok = renderShellWindows(scenes[1], outDir, settingsFile) && ok;
    ok = renderChargeSettings(outDir, settingsFile) && ok;
    ok = renderTrayTitles(outDir) && ok;
    return ok;
}

int main(int argc, char** argv) {
    QString outPath = QStringLiteral("screenshots");
    QString scaleFolder;
    std::vector<QSize> windowSizes{kDefaultWindowSize, kMinimumWindowSize};
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1String("--scale="))) {
            bool numeric = false;
            const double scale = arg.mid(8).toDouble(&numeric);
            if (!numeric || scale <= 0) {
                std::fprintf(stderr, "--scale wants a positive number, e.g. --scale=2\n");
                return 2;
            }
            // Set before the application exists: Qt reads it once, when the screens are made.
            qputenv("QT_SCALE_FACTOR", arg.mid(8).toLatin1());
            scaleFolder = scale == 1 ? QString() : QString::number(scale) + QLatin1Char('x');
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

    QTemporaryDir settingsDir;
    const QString settingsFile = settingsDir.filePath(QStringLiteral("settings.ini"));
    bool ok = true;
    for (const char* language : {Translations::kChinese, Translations::kEnglish}) {
        if (!Translations::apply(QString::fromLatin1(language))) {
            std::fprintf(stderr, "the %s translation did not load\n", language);
            return 1;
        }
        QDir outDir(outPath);
        if (language != Translations::kChinese) outDir.setPath(outDir.filePath(QString::fromLatin1(language)));
        if (!scaleFolder.isEmpty()) outDir.setPath(outDir.filePath(scaleFolder));
        if (!outDir.mkpath(QStringLiteral("."))) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(outDir.path()));
            return 1;
        }
        ok = renderAll(outDir, settingsFile, windowSizes) && ok;
    }
    return ok ? 0 : 1;
}
