#include "HistoryColors.h"

#include "Accents.h"
#include "ViewColors.h"

namespace joulemap::HistoryColors {

namespace {
constexpr double kDarkSecondaryOpacity = 0.5;
}

QColor primaryText(AppTheme resolved) { return palette(resolved).primaryText; }

QColor secondaryText(AppTheme resolved) {
    return resolved == AppTheme::dark ? withOpacity(Qt::white, kDarkSecondaryOpacity)
                                      : palette(AppTheme::light).textTertiary;
}

QColor input() { return hexQColor(kAccentGreen); }
QColor system() { return hexQColor(kAccentOrange); }
QColor charge() { return hexQColor(kAccentCyan); }
QColor negativeNet() { return hexQColor(kAccentRed); }
QColor positiveNet() { return hexQColor(kAccentGreen); }

}  // namespace joulemap::HistoryColors
