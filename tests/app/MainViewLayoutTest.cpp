#include <gtest/gtest.h>

#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BatteryHealthView.h"
#include "DetailListView.h"
#include "FixedAppearanceSource.h"
#include "JoulemapViewModel.h"
#include "MainView.h"
#include "SankeyView.h"
#include "SidePanel.h"
#include "SystemInfoService.h"
#include "SystemInfoSource.h"
#include "SystemInfoView.h"
#include "ThemeManager.h"

namespace joulemap {
namespace {

constexpr QSize kFirstStartSize{1000, 620};
constexpr QSize kSmallestSize{MainView::kMinimumWidth, MainView::kMinimumHeight};
constexpr int kWaitMs = 5000;

BatteryInfo laptop() {
    BatteryInfo b;
    b.cycleCount = 287;
    b.designCapacityMah = 4382;
    b.maxCapacityMah = 3987;
    b.voltageMv = 11850;
    b.temperatureC = 33.4;
    b.currentCapacityPct = 64;
    return b;
}

std::optional<BatteryInfo> discharging() {
    BatteryInfo b = laptop();
    b.batteryPowerMw = -12800;
    b.instantAmperageMa = -1080;
    b.timeRemainingMin = 205;
    return b;
}

std::optional<BatteryInfo> charging() {
    BatteryInfo b = laptop();
    b.isExternalConnected = true;
    b.isCharging = true;
    b.adapterWatts = 65;
    b.adapterDescription = "USB-C 65W";
    b.chargingProtocol = "USB-PD";
    b.isPdFastCharge = true;
    b.systemPowerInMw = 42400;
    b.batteryPowerMw = 17600;
    b.instantAmperageMa = 1400;
    return b;
}

std::vector<AppShare> sixApplications() {
    return {{"Chrome", std::nullopt, 0.26},        {"VS Code", std::nullopt, 0.17},
            {"微信", std::nullopt, 0.09},          {"Slack", std::nullopt, 0.06},
            {"Spotify", std::nullopt, 0.04},       {"终端", std::nullopt, 0.03},
            {kSystemShareName, std::nullopt, 0.22}};
}

// A small share, so its label is the one-line kind that carries the figures at its end.
std::vector<AppShare> longNamedApplication() {
    std::vector<AppShare> apps = sixApplications();
    apps[4].name = "Visual Studio Code Insiders Helper (Renderer)";
    return apps;
}

// A fast charger filling the battery while small applications run: many thin bars close together.
std::optional<BatteryInfo> fastCharging() {
    std::optional<BatteryInfo> b = charging();
    b->adapterWatts = 100;
    b->systemPowerInMw = 90000;
    b->batteryPowerMw = 60000;
    return b;
}

std::vector<AppShare> smallApplications() {
    return {{"Chrome", std::nullopt, 0.02},  {"VS Code", std::nullopt, 0.01},
            {"微信", std::nullopt, 0.01},    {"Slack", std::nullopt, 0.01},
            {"Spotify", std::nullopt, 0.01}, {kSystemShareName, std::nullopt, 0.9}};
}

class SampleMachine : public SystemInfoSource {
public:
    SystemInfo collect() override {
        SystemInfo info;
        info.chipName = "13th Gen Intel(R) Core(TM) i7-1365U";
        info.coreCount = "10";
        info.memoryGB = "16 GB";
        info.diskCapacityGB = "512 GB";
        info.diskFreeGB = "203 GB";
        info.gpuName = "Intel Iris Xe Graphics";
        info.serialNumber = "PF3K8Q2Z";
        return info;
    }
    std::optional<std::pair<uint64_t, uint64_t>> networkTotals() override {
        calls_ += 1;
        return std::pair<uint64_t, uint64_t>{calls_ * 3'700'000, calls_ * 105'000};
    }

private:
    uint64_t calls_ = 0;
};

struct State {
    const char* name;
    std::optional<BatteryInfo> battery;
    std::vector<AppShare> apps;
    std::optional<std::string> hovered;
};

// The main window filled as a user first sees it: applications sampled, the machine described,
// network rates measured.
class Dashboard {
public:
    explicit Dashboard(const State& state)
        : themeManager_(dir_.filePath("settings.ini"), &appearance_),
          systemInfo_(std::make_shared<SampleMachine>()),
          model_(sources(state)),
          view_(model_, themeManager_, systemInfo_) {
        view_.resize(kFirstStartSize);
        view_.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !model_.lastAppShares().empty(); }, kWaitMs));
        QSignalSpy refreshed(&model_, &JoulemapViewModel::refreshed);
        model_.refresh();
        EXPECT_TRUE(refreshed.wait(kWaitMs));
        EXPECT_TRUE(QTest::qWaitFor([&] { return systemInfo_.info().isLoaded(); }, kWaitMs));
        systemInfo_.refreshNetwork();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        if (state.hovered) view_.sankeyView()->onHover(state.hovered);
    }

    ~Dashboard() {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }

    MainView& view() { return view_; }

    void resize(QSize size) {
        view_.resize(size);
        QCoreApplication::processEvents();
    }

private:
    static ModelSources sources(const State& state) {
        ModelSources s;
        s.readBattery = [battery = state.battery] { return battery; };
        s.readHealth = [] { return int64_t{91}; };
        s.sampleProcesses = [apps = state.apps] { return apps; };
        s.writeHistory = [](double, double, double, double) {};
        s.notify = [](const AlertMessage&) {};
        s.pauseAfterSample = std::chrono::hours(1);
        s.pauseAfterEmptySample = std::chrono::hours(1);
        return s;
    }

    QTemporaryDir dir_;
    FixedAppearanceSource appearance_{false};
    ThemeManager themeManager_;
    SystemInfoService systemInfo_;
    JoulemapViewModel model_;
    MainView view_;
};

QString describe(const PlacedTextBox& placed) {
    const QRectF& r = placed.box.rect;
    return QStringLiteral("%1 \"%2\" at (%3, %4, %5 x %6)")
        .arg(placed.card, placed.box.text)
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height());
}

// Touching edges are fine; sharing a sliver of area is not.
bool overlaps(const QRectF& a, const QRectF& b) {
    constexpr double kTolerance = 0.01;
    const QRectF common = a & b;
    return common.width() > kTolerance && common.height() > kTolerance;
}

bool inside(const QRectF& box, const QRectF& frame) {
    constexpr double kTolerance = 0.01;
    return frame.adjusted(-kTolerance, -kTolerance, kTolerance, kTolerance).contains(box);
}

const PlacedTextBox* findText(const std::vector<PlacedTextBox>& boxes, const QString& card,
                              const QString& part) {
    for (const PlacedTextBox& placed : boxes) {
        if (placed.card == card && placed.box.text.contains(part)) return &placed;
    }
    return nullptr;
}

TEST(MainViewLayoutTest, NoTextCoversAnotherOrLeavesItsCard) {
    const std::vector<State> states{
        {"discharging", discharging(), sixApplications(), std::nullopt},
        {"charging", charging(), sixApplications(), std::nullopt},
        {"desktop", std::nullopt, sixApplications(), std::nullopt},
        {"highlight", discharging(), sixApplications(), std::string("Chrome")},
        {"long name", discharging(), longNamedApplication(), std::nullopt},
        {"crowded", fastCharging(), smallApplications(), std::nullopt},
    };
    for (const State& state : states) {
        Dashboard dashboard(state);
        for (const QSize size : {kFirstStartSize, kSmallestSize}) {
            SCOPED_TRACE(testing::Message() << state.name << " at " << size.width() << "x" << size.height());
            dashboard.resize(size);
            const std::vector<PlacedTextBox> boxes = dashboard.view().textBoxes();
            ASSERT_GT(boxes.size(), 30u);
            for (std::size_t i = 0; i < boxes.size(); ++i) {
                EXPECT_TRUE(inside(boxes[i].box.rect, boxes[i].frame)) << qPrintable(describe(boxes[i]));
                for (std::size_t j = i + 1; j < boxes.size(); ++j) {
                    if (boxes[i].layer != boxes[j].layer) continue;
                    EXPECT_FALSE(overlaps(boxes[i].box.rect, boxes[j].box.rect))
                        << qPrintable(describe(boxes[i])) << " / " << qPrintable(describe(boxes[j]));
                }
            }
        }
    }
}

TEST(MainViewLayoutTest, FiguresThatMatterStayReadable) {
    Dashboard charger({"charging", charging(), sixApplications(), std::nullopt});
    Dashboard longName({"long name", discharging(), longNamedApplication(), std::nullopt});
    for (const QSize size : {kFirstStartSize, kSmallestSize}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        // The input card's subtitle wraps rather than hide the measured input at its end.
        charger.resize(size);
        const PlacedTextBox* measured = findText(charger.view().textBoxes(), "⚡ 入口功率", "实际");
        ASSERT_NE(measured, nullptr);
        EXPECT_TRUE(measured->box.text.endsWith("42.4W")) << qPrintable(measured->box.text);

        // A long destination name gives way to its figures, which end the label whole.
        longName.resize(size);
        const PlacedTextBox* label = findText(longName.view().textBoxes(), "diagram", "Visual Studio");
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->box.text.contains(QStringLiteral("\u2026 \u00B7 ")))
            << qPrintable(label->box.text);
        EXPECT_TRUE(label->box.text.endsWith("W")) << qPrintable(label->box.text);
    }
}

TEST(MainViewLayoutTest, SidePanelScrollsOnlyWhereTheCardsCannotFit) {
    Dashboard dashboard({"discharging", discharging(), sixApplications(), std::nullopt});
    MainView& view = dashboard.view();
    const auto listScrolls = [&] {
        const QWidget* content = view.detailList()->listContent();
        return content->height() > content->parentWidget()->height();
    };
    const auto panelScrolls = [&] {
        return view.sidePanel()->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    };

    // At the first-start size every card shows whole; only the list scrolls, inside its card.
    dashboard.resize(kFirstStartSize);
    EXPECT_FALSE(panelScrolls());
    const QRect viewport(QPoint(0, 0), view.sidePanel()->viewport()->size());
    EXPECT_TRUE(viewport.contains(view.healthView()->geometry()));
    EXPECT_TRUE(viewport.contains(view.systemInfoView()->geometry()));

    // At the smallest size the column scrolls and the list, at full height, does not.
    dashboard.resize(kSmallestSize);
    EXPECT_TRUE(panelScrolls());
    EXPECT_FALSE(listScrolls());
}

}  // namespace
}  // namespace joulemap
