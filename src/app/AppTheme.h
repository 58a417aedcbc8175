#pragma once

#include <QColor>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace joulemap {

// The appearance the user picked. `system` follows the desktop's dark-mode setting; views never
// draw with it directly but with ThemeManager::resolvedTheme().
enum class AppTheme { light, dark, system };

// Picker order of the settings window.
const std::array<AppTheme, 3>& allThemes();

// The picker label ("日间", "夜间", "跟随系统").
QString displayText(AppTheme theme);
// The value kept in the settings file ("light", "dark", "system").
QString token(AppTheme theme);
// The explanation under the picker.
QString description(AppTheme theme);

// Exact matches only; anything else is none.
std::optional<AppTheme> appThemeFromDisplayText(const QString& text);
std::optional<AppTheme> appThemeFromToken(const QString& text);

// The colours every view draws with.
struct ThemePalette {
    QList<QColor> backgroundColors;  // top, then bottom; the top one is also the window background
    QColor primaryText;
    QColor secondaryText;
    QColor textTertiary;
    QColor cardBackground;
    QColor cardStroke;
    QColor trackColor;
    QColor dividerColor;
    QColor highlightBackground;
    double glowOpacity = 0;

    bool operator==(const ThemePalette&) const = default;
};

// `dark` gives the dark palette; `light` and `system` give the light one, so pass the resolved theme.
const ThemePalette& palette(AppTheme theme);

}  // namespace joulemap
