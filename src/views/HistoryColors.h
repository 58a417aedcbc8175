#pragma once

#include <QColor>

#include "AppTheme.h"

// The history window's own colours: its secondary text is the dashboard's tertiary tone in the
// light theme and translucent white in the dark one, and each series keeps one accent.
namespace joulemap::HistoryColors {

QColor primaryText(AppTheme resolved);
QColor secondaryText(AppTheme resolved);
QColor input();
QColor system();
QColor charge();
QColor negativeNet();
QColor positiveNet();

}  // namespace joulemap::HistoryColors
