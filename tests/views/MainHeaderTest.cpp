#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>

#include "MainHeader.h"
#include "WidgetPixels.h"

namespace joulemap {
namespace {

// The logo is a large picture shown small: sampled straight from it, its edges and thin bands
// step and flicker; shrunk by averaging to the screen's own pixels, it matches the picture.
TEST(MainHeader, LogoIsTheWholePictureShrunkToTheScreensPixels) {
    const QImage source(QStringLiteral(":/logo.png"));
    ASSERT_FALSE(source.isNull());
    for (const qreal ratio : {1.0, 1.5, 2.0, 3.0}) {
        MainHeader header;
        header.resize(header.sizeHint());
        QImage shot(header.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        shot.setDevicePixelRatio(ratio);
        shot.fill(test::kBackdrop);
        header.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);

        // Left-aligned, vertically centred, on whole device pixels.
        const int side = static_cast<int>(std::lround(MainHeader::kLogoSide * ratio));
        const int top = static_cast<int>(std::lround((header.height() / 2.0 - MainHeader::kLogoSide / 2.0) * ratio));
        QImage expected(side, side, QImage::Format_ARGB32_Premultiplied);
        expected.fill(test::kBackdrop);
        QPainter(&expected).drawImage(0, 0, source.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));

        EXPECT_LE(test::largestDifference(shot.copy(0, top, side, side), expected), 6) << "at " << ratio << "x";
    }
}

}  // namespace
}  // namespace joulemap
