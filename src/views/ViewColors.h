#pragma once

#include <QColor>

#include <string_view>

#include "AppTheme.h"
#include "HexColor.h"

namespace joulemap {

class ThemeManager;

QColor qColor(const Rgba& color);

// The "#rrggbb" colours of the records and the accents, by the usual hex rules.
QColor hexQColor(std::string_view hex);

// `color` with its opacity multiplied by `opacity`.
QColor withOpacity(QColor color, double opacity);

// The palette of the resolved theme; the light one while a view has no manager yet.
const ThemePalette& themePalette(const ThemeManager* manager);

}  // namespace joulemap
