#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include "JoulemapViewModel.h"
#include "MenuBarView.h"
#include "support/AppFakes.h"

namespace joulemap {
namespace {

// A model fed with one battery and one flow of `destinations` applications.
class Panel {
public:
    Panel(std::optional<BatteryInfo> battery, int destinations)
        : model_(test::fixedSources(battery, apps(destinations))), view_(model_, prefs_.theme) {
        // The first process sample arrives on its own; wait for it so the flow lists the apps.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !model_.lastAppShares().empty(); }, 5000));
        QSignalSpy refreshed(&model_, &JoulemapViewModel::refreshed);
        model_.refresh();
        EXPECT_TRUE(refreshed.wait(5000));
    }
    ~Panel() { QThreadPool::globalInstance()->waitForDone(); }

    MenuBarView& view() { return view_; }

private:
    static std::vector<AppShare> apps(int count) {
        std::vector<AppShare> shares;
        for (int i = 0; i < count; ++i) shares.push_back({"app" + std::to_string(i), std::nullopt, 0.05});
        return shares;
    }

    test::Preferences prefs_;
    JoulemapViewModel model_;
    MenuBarView view_;
};

const BatteryInfo kDischarging{.designCapacityMah = 5000,
                               .maxCapacityMah = 4500,
                               .voltageMv = 12000,
                               .instantAmperageMa = -750,
                               .currentCapacityPct = 70,
                               .batteryPowerMw = -9000};

TEST(MenuBarViewTest, FlowCardKeepsItsHeightAndTheHealthSectionFollowsTheBattery) {
    Panel few(kDischarging, 1);
    Panel many(kDischarging, 12);
    EXPECT_EQ(few.view().bodyHeight(), many.view().bodyHeight());
    EXPECT_TRUE(few.view().panel().rows.back().placeholder);

    Panel desktop(std::nullopt, 1);
    EXPECT_FALSE(desktop.view().panel().health);
    EXPECT_LT(desktop.view().bodyHeight(), few.view().bodyHeight());
}

TEST(MenuBarViewTest, UpdateNoticeTakesRoomOnlyWhileShownAndFooterButtonsAsk) {
    Panel panel(kDischarging, 1);
    MenuBarView& view = panel.view();
    view.show();
    const int bare = view.sizeHint().height();
    auto* notice = new QWidget;
    notice->setFixedHeight(40);
    view.setUpdateNotice(notice);
    EXPECT_GT(view.sizeHint().height(), bare + 40);
    notice->hide();
    EXPECT_EQ(view.sizeHint().height(), bare);

    QSignalSpy open(&view, &MenuBarView::openMainWindowRequested);
    QSignalSpy quit(&view, &MenuBarView::quitRequested);
    view.openMainWindowButton()->click();
    view.quitButton()->click();
    EXPECT_EQ(open.count(), 1);
    EXPECT_EQ(quit.count(), 1);
}

}  // namespace
}  // namespace joulemap
