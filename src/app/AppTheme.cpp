#include "AppTheme.h"

#include <QCoreApplication>

namespace joulemap {

namespace {

QColor white(double opacity) { return QColor::fromRgbF(1, 1, 1, float(opacity)); }
QColor black(double opacity) { return QColor::fromRgbF(0, 0, 0, float(opacity)); }
QColor grey(double level) { return QColor::fromRgbF(float(level), float(level), float(level)); }

ThemePalette makeLightPalette() {
    ThemePalette p;
    p.backgroundColors = {QColor::fromRgbF(0.97f, 0.97f, 0.98f), QColor::fromRgbF(0.92f, 0.92f, 0.94f)};
    p.primaryText = QColor::fromRgbF(0.1f, 0.1f, 0.12f);
    p.secondaryText = QColor::fromRgbF(0.42f, 0.42f, 0.47f);
    p.textTertiary = QColor::fromRgbF(0.55f, 0.55f, 0.58f);
    p.cardBackground = white(0.75);
    p.cardStroke = black(0.08);
    p.trackColor = black(0.08);
    p.dividerColor = black(0.1);
    p.highlightBackground = black(0.05);
    p.glowOpacity = 0.1;
    return p;
}

ThemePalette makeDarkPalette() {
    ThemePalette p;
    p.backgroundColors = {QColor::fromRgbF(0.11f, 0.11f, 0.12f), QColor::fromRgbF(0.05f, 0.05f, 0.06f)};
    p.primaryText = white(1);
    p.secondaryText = grey(0.68);
    p.textTertiary = grey(0.5);
    p.cardBackground = white(0.06);
    p.cardStroke = white(0.1);
    p.trackColor = white(0.12);
    p.dividerColor = white(0.22);
    p.highlightBackground = white(0.1);
    p.glowOpacity = 0.16;
    return p;
}

}  // namespace

const std::array<AppTheme, 3>& allThemes() {
    static const std::array<AppTheme, 3> themes{AppTheme::light, AppTheme::dark, AppTheme::system};
    return themes;
}

QString displayText(AppTheme theme) {
    switch (theme) {
    case AppTheme::dark:
        return QCoreApplication::translate("AppTheme", "夜间");
    case AppTheme::system:
        return QCoreApplication::translate("AppTheme", "跟随系统");
    case AppTheme::light:
        break;
    }
    return QCoreApplication::translate("AppTheme", "日间");
}

QString token(AppTheme theme) {
    switch (theme) {
    case AppTheme::dark:
        return QStringLiteral("dark");
    case AppTheme::system:
        return QStringLiteral("system");
    case AppTheme::light:
        break;
    }
    return QStringLiteral("light");
}

QString description(AppTheme theme) {
    switch (theme) {
    case AppTheme::dark:
        return QCoreApplication::translate("AppTheme", "固定深色外观");
    case AppTheme::system:
        return QCoreApplication::translate("AppTheme", "跟随系统深浅模式自动切换");
    case AppTheme::light:
        break;
    }
    return QCoreApplication::translate("AppTheme", "固定浅色外观");
}

std::optional<AppTheme> appThemeFromDisplayText(const QString& text) {
    for (AppTheme theme : allThemes()) {
        if (displayText(theme) == text) {
            return theme;
        }
    }
    return std::nullopt;
}

std::optional<AppTheme> appThemeFromToken(const QString& text) {
    for (AppTheme theme : allThemes()) {
        if (token(theme) == text) {
            return theme;
        }
    }
    return std::nullopt;
}

const ThemePalette& palette(AppTheme theme) {
    static const ThemePalette light = makeLightPalette();
    static const ThemePalette dark = makeDarkPalette();
    return theme == AppTheme::dark ? dark : light;
}

}  // namespace joulemap
