#include "WindowBackground.h"

#include <QLinearGradient>
#include <QPainter>

#include "AppTheme.h"

namespace joulemap {

void paintWindowBackground(QPainter& painter, const QRect& rect, const ThemePalette& palette) {
    QLinearGradient gradient(0, rect.top(), 0, rect.bottom());
    gradient.setColorAt(0, palette.backgroundColors.value(0));
    gradient.setColorAt(1, palette.backgroundColors.value(1));
    painter.fillRect(rect, gradient);
}

}  // namespace joulemap
