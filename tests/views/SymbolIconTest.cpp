#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include <algorithm>
#include <string_view>

#include "SymbolIcon.h"
#include "WidgetPixels.h"

namespace joulemap {
namespace {

// Every symbol a window of the program asks for.
constexpr std::string_view kUsedSymbols[] = {
    "arrow.down.right",   "arrow.triangle.2.circlepath",    "arrow.up.arrow.down.circle.fill",
    "arrow.up.circle.fill", "bell.badge",                   "bolt.fill",
    "chart.xyaxis.line",  "chevron.down",                   "chevron.right",
    "circle.lefthalf.filled", "gearshape",                  "heart.text.square",
    "info.circle",        "list.bullet.below.rectangle",    "list.bullet.rectangle.portrait",
    "powerplug.fill",     "thermometer.medium",
};

TEST(SymbolIcon, EverySymbolResolvesAndRendersInItsTint) {
    const auto known = SymbolIcon::knownNames();
    for (std::string_view name : kUsedSymbols) {
        EXPECT_NE(std::find(known.begin(), known.end(), name), known.end()) << name;
    }
    const QColor tint(0xff, 0x45, 0x3a);
    for (std::string_view name : known) {
        const auto path = SymbolIcon::resourcePath(name);
        ASSERT_TRUE(path.has_value()) << name;
        EXPECT_TRUE(QFile::exists(*path)) << name;

        const QImage icon = SymbolIcon::image(name, tint, 24).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(icon.size(), QSize(24, 24)) << name;
        int opaque = 0;
        int offTint = 0;
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                const QRgb pixel = icon.pixel(x, y);
                if (qAlpha(pixel) < 255) continue;
                ++opaque;
                offTint += !test::near(pixel, tint, 1);
            }
        }
        EXPECT_GT(opaque, 10) << name;
        EXPECT_EQ(offTint, 0) << name;
    }
}

TEST(SymbolIcon, SizeFollowsPixelRatioAndUnknownNamesDrawNothing) {
    const QImage sharp = SymbolIcon::image("gearshape", Qt::white, 13, 2);
    EXPECT_EQ(sharp.size(), QSize(26, 26));
    EXPECT_DOUBLE_EQ(sharp.devicePixelRatio(), 2.0);

    EXPECT_FALSE(SymbolIcon::resourcePath("gearshape.fill").has_value());
    EXPECT_TRUE(SymbolIcon::image("gearshape.fill", Qt::white, 13).isNull());
}

}  // namespace
}  // namespace joulemap
