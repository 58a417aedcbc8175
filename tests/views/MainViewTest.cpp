#include "MainView.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include <atomic>

#include "BatteryHealthView.h"
#include "DetailListView.h"
#include "FlowTooltip.h"
#include "JoulemapViewModel.h"
#include "MainHeader.h"
#include "NotificationHub.h"
#include "SankeyBoard.h"
#include "SankeyView.h"
#include "SidePanel.h"
#include "StatCard.h"
#include "SymbolButton.h"
#include "SystemInfoService.h"
#include "SystemInfoView.h"
#include "Translations.h"
#include "support/AppFakes.h"

namespace joulemap {
namespace {

constexpr QSize kFirstStartSize{1000, 620};
constexpr QSize kSmallestSize{MainView::kMinimumWidth, MainView::kMinimumHeight};
constexpr int kWaitMs = 5000;

// A notebook on battery (adapterWatts 0) or on a USB-PD charger.
BatteryInfo notebook(double adapterWatts = 0, double inputWatts = 0, double batteryWatts = -12.8) {
    BatteryInfo b{.designCapacityMah = 4382,
                  .maxCapacityMah = 3987,
                  .voltageMv = 11850,
                  .instantAmperageMa = batteryWatts * 1000 / 11850 * 1000,
                  .currentCapacityPct = 64,
                  .temperatureC = 33.4,
                  .adapterWatts = adapterWatts,
                  .timeRemainingMin = 205,
                  .systemPowerInMw = inputWatts * 1000,
                  .batteryPowerMw = batteryWatts * 1000};
    if (adapterWatts > 0) {
        b.isExternalConnected = b.isCharging = b.isPdFastCharge = true;
        b.chargingProtocol = "USB-PD";
    }
    return b;
}

std::vector<AppShare> apps(std::vector<std::pair<std::string, double>> shares) {
    std::vector<AppShare> result;
    for (auto& [name, fraction] : shares) result.push_back({std::move(name), std::nullopt, fraction});
    result.push_back({kSystemShareName, std::nullopt, 0.22});
    return result;
}

const std::vector<AppShare> kSixApps =
    apps({{"Chrome", 0.26}, {"VS Code", 0.17}, {"微信", 0.09}, {"Slack", 0.06}, {"Spotify", 0.04}, {"终端", 0.03}});
// Small enough for a one-line label, which carries the figures at its end.
const std::vector<AppShare> kLongName = apps(
    {{"Chrome", 0.26}, {"VS Code", 0.17}, {"微信", 0.09}, {"Visual Studio Code Insiders Helper (Renderer)", 0.04}});
// Beside a fast charger's large flows, many thin bars close together.
const std::vector<AppShare> kSmallApps =
    apps({{"Chrome", 0.02}, {"VS Code", 0.01}, {"微信", 0.01}, {"Slack", 0.01}, {"Spotify", 0.01}});

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

class SampleMachine : public SystemInfoSource {
public:
    SystemInfo collect() override {
        ++collects;
        return {.chipName = "13th Gen Intel(R) Core(TM) i7-1365U",
                .coreCount = "10",
                .memoryGB = "16 GB",
                .serialNumber = "PF3K8Q2Z",
                .diskCapacityGB = "512 GB",
                .diskFreeGB = "203 GB",
                .gpuName = "Intel Iris Xe Graphics"};
    }
    std::optional<std::pair<uint64_t, uint64_t>> networkTotals() override {
        const uint64_t calls = ++networkReads;
        return std::pair<uint64_t, uint64_t>{calls * 3'700'000, calls * 105'000};
    }

    std::atomic<int> collects{0};
    std::atomic<int> networkReads{0};
};

// A main view over a model fed by fakes, refreshed once after the first sample, not yet shown.
class Dashboard {
public:
    explicit Dashboard(std::optional<BatteryInfo> battery, std::vector<AppShare> apps = {})
        : systemInfo_(source_),
          model_(test::fixedSources(std::move(battery), apps)),
          view_(model_, prefs_.theme, systemInfo_) {
        view_.resize(kFirstStartSize);
        if (!apps.empty()) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !model_.lastAppShares().empty(); }, kWaitMs));
        }
        QSignalSpy refreshed(&model_, &JoulemapViewModel::refreshed);
        model_.refresh();
        EXPECT_TRUE(refreshed.wait(kWaitMs));
    }

    ~Dashboard() {
        // Background reads report to the service; let them land while it still exists.
        SystemInfoService::waitForBackgroundWork();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }

    // As a user first sees it: shown, the machine described and network rates measured.
    void fill(const QString& notice = {}, std::optional<std::string> hovered = {}) {
        view_.header()->setNotice(notice);
        view_.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return systemInfo_.info().isLoaded(); }, kWaitMs));
        systemInfo_.refreshNetwork();
        SystemInfoService::waitForBackgroundWork();
        if (hovered) view_.sankeyView()->onHover(hovered);
    }

    MainView& resized(QSize size) {
        view_.resize(size);
        // Results of the background reads arrive as events and post the relayouts they cause.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        return view_;
    }

    MainView& view() { return view_; }
    SampleMachine& source() { return *source_; }

private:
    test::Preferences prefs_;
    std::shared_ptr<SampleMachine> source_ = std::make_shared<SampleMachine>();
    SystemInfoService systemInfo_;
    JoulemapViewModel model_;
    MainView view_;
};

TEST(MainViewTest, IconButtonsPostTheWindowRequests) {
    Dashboard dashboard(notebook());
    QStringList posted;
    QObject receiver;
    QObject::connect(&NotificationHub::instance(), &NotificationHub::posted, &receiver,
                     [&posted](const QString& name) { posted << name; });

    QStringList help;
    for (SymbolButton* button : dashboard.view().header()->buttons()) {
        help << button->toolTip();
        button->click();
    }
    EXPECT_EQ(posted, (QStringList{"JMShowHistoryWindow", "JMShowChangelogWindow", "JMShowSettingsWindow"}));
    EXPECT_EQ(help, (QStringList{"历史趋势", "更新日志", "设置"}));
}

TEST(MainViewTest, BatteryCardsAndHealthPanelFollowTheMachine) {
    const auto shownCards = [](MainView& view) {
        QStringList titles;
        for (StatCard* card : view.cards()) {
            if (card->isVisibleTo(&view)) titles << card->title();
        }
        return titles;
    };

    Dashboard desktop(std::nullopt);
    EXPECT_EQ(shownCards(desktop.view()), (QStringList{"⚡ 入口功率", "⚙️ 系统消耗"}));
    EXPECT_FALSE(desktop.view().healthView()->isVisibleTo(&desktop.view()));

    Dashboard laptop(notebook());
    EXPECT_EQ(shownCards(laptop.view()),
              (QStringList{"🔋 入口功率", "🔋 电池电量", "⚙️ 系统消耗", "🔋 电池净功率"}));
    EXPECT_TRUE(laptop.view().healthView()->isVisibleTo(&laptop.view()));
    EXPECT_EQ(laptop.view().cards()[3]->value(), "\u221212.8");
}

TEST(MainViewTest, TooltipAppearsForAHighlightedDestinationOfTheFlow) {
    Dashboard dashboard(notebook());
    MainView& view = dashboard.view();
    FlowTooltip* tooltip = view.tooltip();
    view.sankeyView()->onHover(std::string("no-such-destination"));
    EXPECT_TRUE(tooltip->isHidden());
    EXPECT_EQ(view.highlight().id, "no-such-destination");

    view.sankeyView()->onHover(std::string("cpu"));
    EXPECT_FALSE(tooltip->isHidden());
    ASSERT_TRUE(tooltip->content().has_value());
    EXPECT_EQ(tooltip->content()->name, "CPU/系统");
    // Over the board's top-right corner, inside it.
    EXPECT_EQ(tooltip->x() + tooltip->width() - FlowTooltip::kShadowMargin,
              tooltip->parentWidget()->width() - SankeyBoard::kTooltipInset);
    EXPECT_EQ(tooltip->y() + FlowTooltip::kShadowMargin, SankeyBoard::kTooltipInset);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tooltip->presence() == 1.0; }, 2000));

    view.sankeyView()->onHover(std::nullopt);
    EXPECT_FALSE(tooltip->content().has_value());
    EXPECT_TRUE(QTest::qWaitFor([&] { return tooltip->isHidden(); }, 2000));
}

TEST(MainViewTest, ShowingStartsTheWorkAndHidingStopsTheNetworkTimer) {
    Dashboard dashboard(notebook());
    MainView& view = dashboard.view();
    EXPECT_FALSE(view.networkTimer().isActive());

    view.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dashboard.source().collects == 1; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dashboard.source().networkReads >= 1; }, 2000));
    EXPECT_TRUE(view.networkTimer().isActive());

    view.hide();
    EXPECT_FALSE(view.networkTimer().isActive());
}

QString describe(const PlacedTextBox& placed) {
    QString text;
    QDebug(&text) << placed.card << placed.box.text << placed.box.rect;
    return text;
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
            Dashboard dashboard(state.battery, state.apps);
            dashboard.fill(state.notice, state.hovered);
            for (const QSize size : {kFirstStartSize, kSmallestSize}) {
                SCOPED_TRACE(testing::Message()
                             << language << ": " << state.name << " at " << size.width() << "x" << size.height());
                const std::vector<PlacedTextBox> boxes = dashboard.resized(size).textBoxes();
                ASSERT_GT(boxes.size(), 30u);
                for (std::size_t i = 0; i < boxes.size(); ++i) {
                    const QRectF& frame = boxes[i].frame;
                    EXPECT_TRUE(
                        frame.adjusted(-kTolerance, -kTolerance, kTolerance, kTolerance).contains(boxes[i].box.rect))
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
    Dashboard dashboard(notebook(), kSixApps);
    dashboard.fill();

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
