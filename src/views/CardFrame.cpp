#include "CardFrame.h"

#include <QPainter>

#include "AppTheme.h"

namespace joulemap {

void paintCardFrame(QPainter& painter, const QRectF& rect, const ThemePalette& palette, double cornerRadius) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Half a pixel in, so the 1-wide outline covers whole pixels instead of blurring over two.
    const QRectF outline = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(palette.cardStroke, 1));
    painter.setBrush(palette.cardBackground);
    painter.drawRoundedRect(outline, cornerRadius, cornerRadius);
    painter.restore();
}

}  // namespace joulemap
