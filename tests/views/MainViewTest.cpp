#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "BatteryHealthView.h"
#include "FixedAppearanceSource.h"
#include "FlowTooltip.h"
#include "JoulemapViewModel.h"
#include "MainHeader.h"
#include "MainView.h"
#include "NotificationHub.h"
#include "SankeyBoard.h"
#include "SankeyView.h"
#include "StatCard.h"
#include "SymbolButton.h"
#include "SystemInfoService.h"
#include "SystemInfoSource.h"
#include "ThemeManager.h"

namespace joulemap {
namespace {

class CountingSystemInfo : public SystemInfoSource {
public:
    SystemInfo collect() override {
        ++collects;
        SystemInfo info;
        info.chipName = "Test CPU";
        return info;
    }
    std::optional<std::pair<uint64_t, uint64_t>> networkTotals() override {
        ++networkReads;
        return std::pair<uint64_t, uint64_t>{1000, 100};
    }

    std::atomic<int> collects{0};
    std::atomic<int> networkReads{0};
};

BatteryInfo discharging() {
    BatteryInfo b;
    b.batteryPowerMw = -9000;
    b.voltageMv = 12000;
    b.instantAmperageMa = -750;
    b.currentCapacityPct = 70;
    return b;
}

// A main view over a model fed by fakes, refreshed once before the test looks at it.
class Dashboard {
public:
    explicit Dashboard(std::optional<BatteryInfo> battery)
        : themeManager_(dir_.filePath("settings.ini"), &appearance_),
          source_(std::make_shared<CountingSystemInfo>()),
          systemInfo_(source_),
          model_(sources(battery)),
          view_(model_, themeManager_, systemInfo_) {
        view_.resize(1000, 620);
        QSignalSpy refreshed(&model_, &JoulemapViewModel::refreshed);
        model_.refresh();
        EXPECT_TRUE(refreshed.wait(5000));
    }

    ~Dashboard() {
        // Background reads report to the service; let them land while it still exists.
        SystemInfoService::waitForBackgroundWork();
        QCoreApplication::processEvents();
    }

    MainView& view() { return view_; }
    CountingSystemInfo& source() { return *source_; }

private:
    static ModelSources sources(std::optional<BatteryInfo> battery) {
        ModelSources s;
        s.readBattery = [battery] { return battery; };
        s.readHealth = [] { return int64_t{0}; };
        s.sampleProcesses = [] { return std::vector<AppShare>{}; };
        s.writeHistory = [](double, double, double, double, const std::vector<AppEnergy>&) {};
        s.notify = [](const AlertMessage&) {};
        s.pauseAfterEmptySample = std::chrono::hours(1);
        return s;
    }

    QTemporaryDir dir_;
    FixedAppearanceSource appearance_;
    ThemeManager themeManager_;
    std::shared_ptr<CountingSystemInfo> source_;
    SystemInfoService systemInfo_;
    JoulemapViewModel model_;
    MainView view_;
};

TEST(MainViewTest, IconButtonsPostTheWindowRequests) {
    Dashboard dashboard(discharging());
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
    EXPECT_EQ(shownCards(desktop.view()).size(), 2);
    EXPECT_EQ(shownCards(desktop.view()).last(), "⚙️ 系统消耗");
    EXPECT_FALSE(desktop.view().healthView()->isVisibleTo(&desktop.view()));

    Dashboard laptop(discharging());
    EXPECT_EQ(shownCards(laptop.view()),
              (QStringList{"🔋 入口功率", "🔋 电池电量", "⚙️ 系统消耗", "🔋 电池净功率"}));
    EXPECT_TRUE(laptop.view().healthView()->isVisibleTo(&laptop.view()));
    EXPECT_EQ(laptop.view().cards()[3]->value(), "\u22129.0");
}

TEST(MainViewTest, TooltipAppearsForAHighlightedDestinationOfTheFlow) {
    Dashboard dashboard(discharging());
    MainView& view = dashboard.view();
    FlowTooltip* tooltip = view.tooltip();
    EXPECT_TRUE(tooltip->isHidden());

    view.sankeyView()->onHover(std::string("no-such-destination"));
    EXPECT_TRUE(tooltip->isHidden());
    EXPECT_EQ(view.highlight().id, "no-such-destination");

    view.sankeyView()->onHover(std::string("cpu"));
    EXPECT_FALSE(tooltip->isHidden());
    ASSERT_TRUE(tooltip->content().has_value());
    EXPECT_EQ(tooltip->content()->name, "CPU/系统");
    // Over the board's top-right corner, inside it.
    const int boardWidth = tooltip->parentWidget()->width();
    EXPECT_EQ(tooltip->x() + tooltip->width() - FlowTooltip::kShadowMargin, boardWidth - SankeyBoard::kTooltipInset);
    EXPECT_EQ(tooltip->y() + FlowTooltip::kShadowMargin, SankeyBoard::kTooltipInset);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tooltip->presence() == 1.0; }, 2000));

    // Leaving the diagram fades it out and hides it.
    view.sankeyView()->onHover(std::nullopt);
    EXPECT_FALSE(tooltip->content().has_value());
    EXPECT_TRUE(QTest::qWaitFor([&] { return tooltip->isHidden(); }, 2000));
}

TEST(MainViewTest, ShowingStartsTheWorkAndHidingStopsTheNetworkTimer) {
    Dashboard dashboard(discharging());
    MainView& view = dashboard.view();
    EXPECT_FALSE(view.networkTimer().isActive());

    view.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dashboard.source().collects == 1; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dashboard.source().networkReads >= 1; }, 2000));
    EXPECT_TRUE(view.networkTimer().isActive());
    EXPECT_EQ(view.networkTimer().interval(), 3000);

    view.hide();
    EXPECT_FALSE(view.networkTimer().isActive());
}

}  // namespace
}  // namespace joulemap
