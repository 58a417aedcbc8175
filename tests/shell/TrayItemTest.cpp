#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <utility>

#include "ShellFixture.h"
#include "TrayItem.h"
#include "TrayTitleIcon.h"

namespace joulemap {
namespace {

BatteryInfo battery(int64_t percent, bool charging) {
    return {.isCharging = charging, .isExternalConnected = charging, .currentCapacityPct = percent};
}

TEST(TrayItemTest, IconAndTooltipAreRedrawnOnlyWhenTheTitleChanges) {
    test::ShellFixture app;
    app.refreshWith(battery(85, false));
    TrayItem tray(app.model());
    EXPECT_EQ(std::pair(tray.title(), tray.toolTip()), std::pair(QString("85%"), QString("85 % · 功率未知")));
    const int drawn = tray.renderCount();

    for (int i = 0; i < 2; ++i) app.refreshWith(battery(85, false));
    EXPECT_EQ(tray.renderCount(), drawn) << "same title, no new icon";

    app.refreshWith(battery(86, true));
    EXPECT_EQ(std::pair(tray.title(), tray.renderCount()), std::pair(QString("⚡86%"), drawn + 1));

    app.refreshWith(std::nullopt);
    EXPECT_EQ(tray.title(), "⚡");
}

// What an icon carries: light and dark pixels of its own (readable whatever lies behind), and how
// many rows the white figures span.
struct Ink {
    int light = 0, dark = 0, figureRows = 0;
};

Ink inkOf(const QImage& image) {
    Ink ink;
    int top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alphaF() < 0.5) continue;
            if (c.valueF() > 0.8) ++ink.light;
            if (c.valueF() < 0.3) ++ink.dark;
            if (c.valueF() > 0.8 && c.hsvSaturationF() < 0.2) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ink.figureRows = std::max(0, bottom - top + 1);
    return ink;
}

TEST(TrayItemTest, TitleFiguresFillTheIconAndShowOnLightAndDarkPanels) {
    // Two digits can take more of the square than three, which are as wide as it, or than two
    // beside a bolt.
    const std::pair<const char*, double> titles[] = {
        {"85%", 0.55}, {"⚡85%", 0.45}, {"100%", 0.4}, {"⚡100%", 0.4}, {"⚡", 0}};
    for (const auto& [title, share] : titles) {
        for (const int side : {16, 22, 24, 32}) {
            for (const qreal ratio : {1.0, 2.0}) {
                SCOPED_TRACE(testing::Message() << title << " at " << side << " px " << ratio << "x");
                const QImage image = TrayTitleIcon::render(QString::fromUtf8(title), side, ratio);
                ASSERT_EQ(image.size(), QSize(side, side) * ratio);
                const Ink ink = inkOf(image);
                EXPECT_GE(ink.figureRows, share * image.height());
                EXPECT_GT(ink.light, 4 * ratio * ratio);
                EXPECT_GT(ink.dark, 4 * ratio * ratio);
            }
        }
    }
}

TEST(TrayItemTest, TitleIconIsDrawnAtTheSizeAndPixelRatioTheTrayAsksFor) {
    const QIcon icon = TrayTitleIcon::icon(QStringLiteral("85%"));
    for (const auto& [side, ratio] : {std::pair{28, 1.0}, std::pair{28, 2.0}, std::pair{20, 1.5}}) {
        SCOPED_TRACE(testing::Message() << side << " px " << ratio << "x");
        const QPixmap pixmap = icon.pixmap(QSize(side, side), ratio);
        EXPECT_EQ(pixmap.size(), QSize(side, side) * ratio);
        EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
        EXPECT_GE(inkOf(pixmap.toImage()).figureRows, 0.55 * pixmap.height());

        // An X tray paints the icon straight into its window.
        QImage window(QSize(side, side) * ratio, QImage::Format_ARGB32_Premultiplied);
        window.setDevicePixelRatio(ratio);
        window.fill(Qt::transparent);
        QPainter painter(&window);
        icon.paint(&painter, QRect(0, 0, side, side));
        painter.end();
        EXPECT_GE(inkOf(window).figureRows, 0.55 * window.height());
    }
}

}  // namespace
}  // namespace joulemap
