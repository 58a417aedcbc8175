#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "Typography.h"

namespace joulemap {
namespace {

// Rows of `image` holding any ink, as [first, last]; {-1, -1} when blank.
std::pair<int, int> inkRows(const QImage& image) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                if (first < 0) first = y;
                last = y;
                break;
            }
        }
    }
    return {first, last};
}

TEST(TypographyTest, TheLineBoxHoldsTheInkOfEveryKindOfLabel) {
    constexpr int kMargin = 12;
    for (const double size : {9.0, 10.5, 12.0, 13.0, 20.0, 24.0}) {
        for (const char* text : {"电池健康", "gjpqy()|", "🔋 电池电量", "⚙️ 硬件", "12.8W"}) {
            SCOPED_TRACE(testing::Message() << size << " px: " << text);
            const QFont font = Typography::font(size, Typography::Weight::semibold);
            const int lineHeight = static_cast<int>(std::ceil(Typography::lineHeight(font)));
            QImage image(400, lineHeight + 2 * kMargin, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            {
                QPainter painter(&image);
                painter.setFont(font);
                painter.setPen(Qt::black);
                Typography::drawLine(painter, QPointF(kMargin, kMargin), QString::fromUtf8(text));
            }
            const auto [first, last] = inkRows(image);
            ASSERT_GE(first, 0);
            // A pixel of antialiasing may spill over either edge.
            EXPECT_GE(first, kMargin - 1);
            EXPECT_LE(last, kMargin + lineHeight);
        }
    }
}

TEST(TypographyTest, WrappingBreaksBetweenPartsThenWordsAndElidesTheLastLine) {
    const QFont font = Typography::font(10.5);
    const QFontMetricsF metrics(font);
    const QString chip = QStringLiteral("13th Gen Intel(R) Core(TM) i7-1365U");
    const QString chipRow = chip + QStringLiteral(" · 10核");
    const double chipWidth = metrics.horizontalAdvance(chip + QStringLiteral(" ·"));

    const double gpuWidth = std::max(metrics.horizontalAdvance(QStringLiteral("Intel Iris Xe")),
                                     metrics.horizontalAdvance(QStringLiteral("Graphics · 96核"))) +
                            1;
    ASSERT_LT(gpuWidth, metrics.horizontalAdvance(QStringLiteral("Intel Iris Xe Graphics")));

    struct Case {
        QString text;
        double width;
        int maxLines;
        QStringList lines;
    };
    const std::vector<Case> cases{
        {chipRow, metrics.horizontalAdvance(chipRow), 0, {chipRow}},
        // The dot ends the first line; the core count stays whole on the next.
        {chipRow, chipWidth, 0, {chip + QStringLiteral(" ·"), QStringLiteral("10核")}},
        // A part too long for a line breaks between its words and the next part follows on.
        {QStringLiteral("Intel Iris Xe Graphics · 96核"),
         gpuWidth,
         0,
         {QStringLiteral("Intel Iris Xe"), QStringLiteral("Graphics · 96核")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.text + QStringLiteral(" in ") + QString::number(c.width)));
        EXPECT_EQ(Typography::wrapLines(font, c.text, c.width, c.maxLines), c.lines);
    }

    // What does not fit in the allowed lines is elided on the last one, inside the width.
    const double narrow = metrics.horizontalAdvance(QStringLiteral("USB-PD 65W"));
    const QStringList cut =
        Typography::wrapLines(font, QStringLiteral("USB-PD 65W 快充 · 实际 42.4W"), narrow, 1);
    ASSERT_EQ(cut.size(), 1);
    EXPECT_TRUE(cut.front().endsWith(QChar(0x2026))) << qPrintable(cut.front());
    EXPECT_LE(metrics.horizontalAdvance(cut.front()), narrow);
}

}  // namespace
}  // namespace joulemap
