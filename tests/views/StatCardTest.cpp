#include <gtest/gtest.h>

#include "AppTheme.h"
#include "Sparkline.h"
#include "StatCard.h"
#include "WidgetPixels.h"
#include "support/AppFakes.h"

namespace joulemap {
namespace {

using test::countNear;

const QColor kOrange(0xff, 0x9f, 0x0a);
constexpr int kWidth = 220;

class StatCardTest : public ::testing::Test {
protected:
    StatCardTest() {
        card_.setThemeManager(&prefs_.theme);
        card_.setTitle(QStringLiteral("⚙️ 系统消耗"));
        card_.setValue(QStringLiteral("18.8"));
        card_.setUnit(QStringLiteral("W"));
        card_.setColor(kOrange);
        card_.setSubtitle(QStringLiteral("占入口 42%"));
        card_.setHistory({10, 14, 12, 18.8});
    }

    QImage render() { return test::renderWidget(card_, {kWidth, card_.sizeHint().height()}); }
    // Where the big value is drawn: below the title, left half.
    QRect valueArea() const { return {14, 20, 80, 30}; }

    test::Preferences prefs_;
    StatCard card_;
};

TEST_F(StatCardTest, CardFillFollowsTheTheme) {
    for (const AppTheme theme : {AppTheme::light, AppTheme::dark}) {
        prefs_.theme.setTheme(theme);
        const QImage image = render();
        // The top right corner area holds no text: only the card's fill over the backdrop.
        const QColor fill = test::overBackdrop(palette(theme).cardBackground);
        EXPECT_TRUE(test::near(image.pixel(kWidth - 30, 6), fill)) << token(theme).toStdString();
    }
}

TEST_F(StatCardTest, ValueInCardColourUnlessThemeColourIsAsked) {
    prefs_.theme.setTheme(AppTheme::dark);
    EXPECT_GT(countNear(render(), valueArea(), kOrange), 20);

    card_.setUseThemeValueColor(true);
    const QImage themed = render();
    EXPECT_EQ(countNear(themed, valueArea(), kOrange), 0);
    EXPECT_GT(countNear(themed, valueArea(), palette(AppTheme::dark).primaryText), 20);
}

TEST_F(StatCardTest, SparklineAtBottomRightNeedsTwoValues) {
    const QImage drawn = render();
    const QRect area = card_.sparkline()->geometry();
    EXPECT_EQ(area.size(), QSize(70, 24));
    EXPECT_EQ(area.right(), kWidth - 14 - 1);
    EXPECT_GT(countNear(drawn, area, kOrange, 40), 10);

    card_.setHistory({18.8});
    EXPECT_EQ(countNear(render(), area, kOrange, 40), 0);
}

}  // namespace
}  // namespace joulemap
