#pragma once

#include <QRectF>

class QPainter;

namespace joulemap {

struct ThemePalette;

inline constexpr double kCardCornerRadius = 12;

// The rounded card every dashboard panel sits on: `cardBackground` with a 1-wide `cardStroke`
// outline inside `rect`.
void paintCardFrame(QPainter& painter, const QRectF& rect, const ThemePalette& palette,
                    double cornerRadius = kCardCornerRadius);

}  // namespace joulemap
