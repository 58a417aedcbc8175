#include <gtest/gtest.h>

#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BatteryHealthView.h"
#include "DetailListView.h"
#include "FixedAppearanceSource.h"
#include "JoulemapViewModel.h"
#include "MainHeader.h"
#include "MainView.h"
#include "SankeyView.h"
#include "SidePanel.h"
#include "SystemInfoService.h"
#include "SystemInfoSource.h"
#include "SystemInfoView.h"
#include "ThemeManager.h"
#include "Translations.h"

namespace joulemap {
namespace {

constexpr QSize kFirstStartSize{1000, 620};
constexpr QSize kSmallestSize{MainView::kMinimumWidth, MainView::kMinimumHeight};
constexpr int kWaitMs = 5000;

// A notebook on battery (adapterWatts 0) or on a USB-PD charger.
BatteryInfo notebook(double adapterWatts = 0, double inputWatts = 0, double batteryWatts = -12.8) {
    BatteryInfo b;
    b.designCapacityMah = 4382;
    b.maxCapacityMah = 3987;
    b.voltageMv = 11850;
    b.temperatureC = 33.4;
    b.currentCapacityPct = 64;
    b.timeRemainingMin = 205;
    b.batteryPowerMw = batteryWatts * 1000;
    b.instantAmperageMa = b.batteryPowerMw / b.voltageMv * 1000;
    if (adapterWatts > 0) {
        b.isExternalConnected = b.isCharging = b.isPdFastCharge = true;
        b.adapterWatts = adapterWatts;
        b.chargingProtocol = "USB-PD";
        b.systemPowerInMw = inputWatts * 1000;
    }
    return b;
}

std::vector<AppShare> apps(std::vector<std::pair<std::string, double>> shares) {
    std::vector<AppShare> result;
    for (auto& [name, fraction] : shares) result.push_back({std::move(name), std::nullopt, fraction});
    result.push_back({kSystemShareName, std::nullopt, 0.22});
    return result;
}

const std::vector<AppShare> kSixApps = apps({{"Chrome", 0.26},
                                             {"VS Code", 0.17},
                                             {"微信", 0.09},
                                             {"Slack", 0.06},
                                             {"Spotify", 0.04},
                                             {"终端", 0.03}});
// Small enough for a one-line label, which carries the figures at its end.
const std::vector<AppShare> kLongName = apps({{"Chrome", 0.26},
                                              {"VS Code", 0.17},
                                              {"微信", 0.09},
                                              {"Visual Studio Code Insiders Helper (Renderer)", 0.04}});
// Beside a fast charger's large flows, many thin bars close together.
const std::vector<AppShare> kSmallApps =
    apps({{"Chrome", 0.02}, {"VS Code", 0.01}, {"微信", 0.01}, {"Slack", 0.01}, {"Spotify", 0.01}});

class SampleMachine : public SystemInfoSource {
public:
    SystemInfo collect() override {
        SystemInfo info;
        info.chipName = "13th Gen Intel(R) Core(TM) i7-1365U";
        info.coreCount = "10";
        info.memoryGB = "16 GB";
        info.serialNumber = "PF3K8Q2Z";
        info.diskCapacityGB = "512 GB";
        info.diskFreeGB = "203 GB";
        info.gpuName = "Intel Iris Xe Graphics";
        return info;
    }
    std::optional<std::pair<uint64_t, uint64_t>> networkTotals() override {
        calls_ += 1;
        return std::pair<uint64_t, uint64_t>{calls_ * 3'700'000, calls_ * 105'000};
    }

private:
    uint64_t calls_ = 0;
};

// A line a state must show whole: in `card`, a text containing `part` and ending with `end`, at
// least `minLineHeight` high (the line box of its font size).
struct MustShow {
    QString card;
    QString part;
    QString end;
    double minLineHeight = 0;
};

struct State {
    const char* name;
    std::optional<BatteryInfo> battery;
    std::vector<AppShare> apps;
    std::optional<std::string> hovered;
    std::optional<MustShow> mustShow;
    QString notice = QString();
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
        view_.header()->setNotice(state.notice);
        view_.resize(kFirstStartSize);
        view_.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !model_.lastAppShares().empty(); }, kWaitMs));
        QSignalSpy refreshed(&model_, &JoulemapViewModel::refreshed);
        model_.refresh();
        EXPECT_TRUE(refreshed.wait(kWaitMs));
        EXPECT_TRUE(QTest::qWaitFor([&] { return systemInfo_.info().isLoaded(); }, kWaitMs));
        systemInfo_.refreshNetwork();
        QThreadPool::globalInstance()->waitForDone();
        if (state.hovered) view_.sankeyView()->onHover(state.hovered);
    }

    ~Dashboard() { QThreadPool::globalInstance()->waitForDone(); }

    MainView& resized(QSize size) {
        view_.resize(size);
        // Results of the background reads arrive as events and post the relayouts they cause.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        return view_;
    }

private:
    static ModelSources sources(const State& state) {
        ModelSources s;
        s.readBattery = [battery = state.battery] { return battery; };
        s.readHealth = [] { return int64_t{91}; };
        s.sampleProcesses = [apps = state.apps] { return apps; };
        s.writeHistory = [](double, double, double, double, const std::vector<AppEnergy>&) {};
        s.notify = [](const AlertMessage&) {};
        s.pauseAfterSample = s.pauseAfterEmptySample = std::chrono::hours(1);
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
    return QStringLiteral("%1 \"%2\" at %3,%4 %5x%6")
        .arg(placed.card, placed.box.text)
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height());
}

// In both languages: English words are longer than Chinese ones.
TEST(MainViewLayoutTest, NoTextCoversAnotherOrLeavesItsCardAndFiguresStayWhole) {
    constexpr double kTolerance = 0.01;  // touching edges are fine, a sliver of shared area is not
    for (const char* language : {Translations::kChinese, Translations::kEnglish}) {
        ASSERT_TRUE(Translations::apply(QString::fromLatin1(language)));
        const bool english = language == Translations::kEnglish;
        auto pick = [english](const char* chinese, const char* inEnglish) {
            return QString::fromUtf8(english ? inEnglish : chinese);
        };
        const std::vector<State> states{
            {"discharging", notebook(), kSixApps, std::nullopt, std::nullopt},
            // The input card's subtitle wraps rather than hide the measured input at its end.
            {"charging", notebook(65, 42.4, 17.6), kSixApps, std::nullopt,
             MustShow{pick("⚡ 入口功率", "⚡ Input power"), pick("实际", "actual"), "42.4W"}},
            {"desktop", std::nullopt, kSixApps, std::nullopt, std::nullopt},
            {"highlight", notebook(), kSixApps, std::string("Chrome"), std::nullopt},
            // A long destination name gives way to its figures.
            {"long name", notebook(), kLongName, std::nullopt, MustShow{"diagram", "\u2026 \u00B7 ", "W"}},
            {"crowded", notebook(100, 90, 60), kSmallApps, std::nullopt, std::nullopt},
            // A notice as long as the one for a desktop without a tray, read at the body's 12 px.
            {"notice", notebook(), kSixApps, std::nullopt,
             MustShow{"header", pick("托盘", "tray"), pick("退出焦图", "quits Joulemap"), 15},
             pick("桌面没有系统托盘：关闭此窗口即退出焦图",
                  "The desktop has no system tray: closing this window quits Joulemap")},
        };
        for (const State& state : states) {
            Dashboard dashboard(state);
            for (const QSize size : {kFirstStartSize, kSmallestSize}) {
                SCOPED_TRACE(testing::Message() << language << ": " << state.name << " at " << size.width() << "x"
                                                << size.height());
                const std::vector<PlacedTextBox> boxes = dashboard.resized(size).textBoxes();
                ASSERT_GT(boxes.size(), 30u);
                for (std::size_t i = 0; i < boxes.size(); ++i) {
                    const QRectF& frame = boxes[i].frame;
                    EXPECT_TRUE(frame.adjusted(-kTolerance, -kTolerance, kTolerance, kTolerance)
                                    .contains(boxes[i].box.rect))
                        << qPrintable(describe(boxes[i]));
                    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
                        const QRectF common = boxes[i].box.rect & boxes[j].box.rect;
                        EXPECT_FALSE(boxes[i].layer == boxes[j].layer && common.width() > kTolerance &&
                                     common.height() > kTolerance)
                            << qPrintable(describe(boxes[i])) << " / " << qPrintable(describe(boxes[j]));
                    }
                }
                if (!state.mustShow) continue;
                const MustShow& must = *state.mustShow;
                const auto found = std::find_if(boxes.begin(), boxes.end(), [&](const PlacedTextBox& placed) {
                    return placed.card == must.card && placed.box.text.contains(must.part);
                });
                ASSERT_NE(found, boxes.end());
                EXPECT_TRUE(found->box.text.endsWith(must.end)) << qPrintable(found->box.text);
                EXPECT_GE(found->box.rect.height(), must.minLineHeight);
            }
        }
    }
  Translations::apply(QString::fromLatin1(Translations::kChinese));
}

TEST(MainViewLayoutTest, SidePanelScrollsOnlyWhereTheCardsCannotFit) {
    Dashboard dashboard({"discharging", notebook(), kSixApps, std::nullopt, std::nullopt});

    // At the first-start size every card shows whole; only the list scrolls, inside its card.
    MainView& view = dashboard.resized(kFirstStartSize);
    EXPECT_EQ(view.sidePanel()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    const QRect viewport(QPoint(0, 0), view.sidePanel()->viewport()->size());
    EXPECT_TRUE(viewport.contains(view.healthView()->geometry()));
    EXPECT_TRUE(viewport.contains(view.systemInfoView()->geometry()));

    // At the smallest size the column scrolls and the list, at full height, does not.
    dashboard.resized(kSmallestSize);
    EXPECT_EQ(view.sidePanel()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    const QWidget* list = view.detailList()->listContent();
    EXPECT_LE(list->height(), list->parentWidget()->height());
}

}  // namespace
}  // namespace joulemap
