#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace joulemap::test {

// The backdrop widgets are rendered on: the cards are translucent, so what shows through is known.
inline const QColor kBackdrop(128, 128, 128);

// The widget and its children at `size`, over the backdrop, as a window would show it unscaled.
inline QImage renderWidget(QWidget& widget, QSize size) {
    widget.resize(size);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(kBackdrop);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

inline bool near(QRgb pixel, const QColor& color, int tolerance = 3) {
    return std::abs(qRed(pixel) - color.red()) <= tolerance && std::abs(qGreen(pixel) - color.green()) <= tolerance &&
           std::abs(qBlue(pixel) - color.blue()) <= tolerance;
}

// How many pixels inside `area` are (nearly) `color`: text and thin lines are found by their
// fully covered pixels without knowing the exact glyph positions.
inline int countNear(const QImage& image, QRect area, const QColor& color, int tolerance = 3) {
    area = area.intersected(image.rect());
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) count += near(image.pixel(x, y), color, tolerance);
    }
    return count;
}

// The largest difference of one colour channel between two pictures of the same size.
inline int largestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 256;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max(
                {largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

// `color` drawn at its own opacity over the backdrop.
inline QColor overBackdrop(const QColor& color) {
    const double a = color.alphaF();
    return QColor::fromRgbF(float(color.redF() * a + kBackdrop.redF() * (1 - a)),
                            float(color.greenF() * a + kBackdrop.greenF() * (1 - a)),
                            float(color.blueF() * a + kBackdrop.blueF() * (1 - a)));
}

}  // namespace joulemap::test
