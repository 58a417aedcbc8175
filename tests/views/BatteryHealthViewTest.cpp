#include <gtest/gtest.h>

#include <QTest>

#include <cmath>
#include <numbers>

#include "AppTheme.h"
#include "BatteryHealthView.h"
#include "WidgetPixels.h"
#include "support/AppFakes.h"

namespace joulemap {
namespace {

using test::countNear;

const QColor kYellow(0xff, 0xd6, 0x0a);
const QColor kRed(0xff, 0x45, 0x3a);
constexpr int kWidth = 300;

BatteryInfo battery(double designMah, double maxMah, double temperatureC) {
    return {.cycleCount = 312,
            .designCapacityMah = designMah,
            .maxCapacityMah = maxMah,
            .temperatureC = temperatureC};
}

class BatteryHealthViewTest : public ::testing::Test {
protected:
    BatteryHealthViewTest() { view_.setThemeManager(&prefs_.theme); }

    QImage render() { return test::renderWidget(view_, {kWidth, view_.sizeHint().height()}); }

    // The pixel on the middle of the ring's stroke, `degrees` clockwise from twelve o'clock.
    QRgb ringPixel(const QImage& image, double degrees) const {
        const QRectF frame = view_.ringFrame();
        const double radius = (frame.width() - 7) / 2;
        const double angle = degrees * std::numbers::pi / 180;
        return image.pixel(static_cast<int>(std::floor(frame.center().x() + radius * std::sin(angle))),
                           static_cast<int>(std::floor(frame.center().y() - radius * std::cos(angle))));
    }

    QRect figuresArea() const {
        const QRectF frame = view_.ringFrame();
        return QRectF(frame.right() + 8, frame.top(), kWidth - frame.right() - 8, frame.height()).toRect();
    }

    test::Preferences prefs_;
    BatteryHealthView view_;
};

TEST_F(BatteryHealthViewTest, RingFillsClockwiseFromTheTopInTheStatusColour) {
    view_.setBattery(battery(5000, 4475, 30));  // 89.5 %: fair
    const QImage image = render();
    for (const double degrees : {10.0, 90.0, 300.0})
        EXPECT_TRUE(test::near(ringPixel(image, degrees), kYellow));
    // 322° are filled; the last stretch before twelve o'clock is bare track.
    const QColor track = test::overBackdrop(palette(AppTheme::light).cardBackground);
    EXPECT_FALSE(test::near(ringPixel(image, 345), kYellow, 40));
    EXPECT_FALSE(test::near(ringPixel(image, 345), track, 1));  // the track darkens the card a little
    // The figure in the ring is in the same colour.
    const QRect centre = view_.ringFrame().adjusted(14, 14, -14, -14).toRect();
    EXPECT_GT(countNear(image, centre, kYellow), 10);
}

TEST_F(BatteryHealthViewTest, UnknownHealthIsNeitherZeroNorRed) {
    view_.setBattery(battery(0, 4000, 30));
    const QImage image = render();
    for (const double degrees : {10.0, 90.0, 180.0, 270.0})
        EXPECT_FALSE(test::near(ringPixel(image, degrees), kRed, 40));
    // No red "0" in the middle and no red "replace" badge: the card says it does not know.
    EXPECT_EQ(countNear(image, image.rect(), kRed, 40), 0);
}

TEST_F(BatteryHealthViewTest, HotBatteryTemperatureIsRed) {
    prefs_.theme.setTheme(AppTheme::dark);
    view_.setBattery(battery(5000, 4900, 35.9));  // good health: nothing else red or yellow
    const QImage cool = render();
    EXPECT_EQ(countNear(cool, figuresArea(), kRed, 20), 0);
    EXPECT_EQ(countNear(cool, figuresArea(), kYellow, 20), 0);

    view_.setBattery(battery(5000, 4900, 41.0));
    EXPECT_GT(countNear(render(), figuresArea(), kRed, 20), 5);
}

TEST_F(BatteryHealthViewTest, VisibleRingGlidesToANewFigure) {
    view_.setBattery(battery(5000, 2500, 30));  // hidden: jumps
    EXPECT_DOUBLE_EQ(view_.displayedRingFraction(), 0.5);

    view_.resize(kWidth, view_.sizeHint().height());
    view_.show();
    view_.setBattery(battery(5000, 5000, 30));
    EXPECT_DOUBLE_EQ(view_.displayedRingFraction(), 0.5);  // starts where it was
    EXPECT_TRUE(QTest::qWaitFor([&] { return view_.displayedRingFraction() == 1.0; }, 3000));
}

}  // namespace
}  // namespace joulemap
