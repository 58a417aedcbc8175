#include "ViewColors.h"

#include "ThemeManager.h"

namespace joulemap {

QColor qColor(const Rgba& color) {
    return QColor::fromRgbF(float(color.r), float(color.g), float(color.b), float(color.a));
}

QColor hexQColor(std::string_view hex) { return qColor(hexColor(hex)); }

QColor withOpacity(QColor color, double opacity) {
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

const ThemePalette& themePalette(const ThemeManager* manager) {
    return manager ? manager->palette() : palette(AppTheme::light);
}

}  // namespace joulemap
