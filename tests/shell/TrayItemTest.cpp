#include <gtest/gtest.h>

#include <QImage>

#include "ShellFixture.h"
#include "TrayItem.h"
#include "TrayTitleIcon.h"

namespace joulemap {
namespace {

BatteryInfo battery(int64_t percent, bool charging) {
    BatteryInfo b;
    b.currentCapacityPct = percent;
    b.isCharging = charging;
    b.isExternalConnected = charging;
    return b;
}

TEST(TrayItemTest, IconAndTooltipAreRedrawnOnlyWhenTheTitleChanges) {
    test::ShellFixture app;
    app.refreshWith(battery(85, false));
    TrayItem tray(app.model());
    EXPECT_EQ(tray.title(), "85%");
    EXPECT_EQ(tray.icon().toolTip(), "85%");
    const int drawn = tray.renderCount();

    app.refreshWith(battery(85, false));
    app.refreshWith(battery(85, false));
    EXPECT_EQ(tray.renderCount(), drawn) << "same title, no new icon";

    app.refreshWith(battery(86, true));
    EXPECT_EQ(tray.title(), "⚡86%");
    EXPECT_EQ(tray.renderCount(), drawn + 1);
    EXPECT_FALSE(tray.icon().icon().isNull());

    app.refreshWith(std::nullopt);
    EXPECT_EQ(tray.title(), "⚡");
}

TEST(TrayItemTest, TitleIconIsReadableOnLightAndDarkPanels) {
    // Readable on both means it carries light and dark pixels of its own, whatever lies behind.
    for (const char* title : {"85%", "⚡100%", "⚡"}) {
        for (const qreal ratio : {1.0, 2.0}) {
            const QImage image = TrayTitleIcon::render(QString::fromUtf8(title), 22, ratio);
            EXPECT_EQ(image.size(), QSize(22, 22) * ratio);
            int light = 0;
            int dark = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.alphaF() < 0.5) continue;
                    if (c.valueF() > 0.8) ++light;
                    if (c.valueF() < 0.3) ++dark;
                }
            }
            EXPECT_GT(light, 4 * ratio * ratio) << title;
            EXPECT_GT(dark, 4 * ratio * ratio) << title;
        }
    }
}

}  // namespace
}  // namespace joulemap
