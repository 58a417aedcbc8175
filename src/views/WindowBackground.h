#pragma once

#include <QRect>

class QPainter;

namespace joulemap {

struct ThemePalette;

// The top-to-bottom wash of the theme's two background colours that the auxiliary windows sit on.
void paintWindowBackground(QPainter& painter, const QRect& rect, const ThemePalette& palette);

}  // namespace joulemap
