#include "WindowTheme.h"

#include <QPalette>
#include <QWidget>

#include "ThemeManager.h"

namespace joulemap {

void applyWindowTheme(QWidget& window, const ThemeManager& theme) {
    const ThemePalette& colors = theme.palette();
    const QColor background = colors.backgroundColors.isEmpty() ? QColor(Qt::black) : colors.backgroundColors.front();
    QPalette palette = window.palette();
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) palette.setColor(role, background);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, colors.primaryText);
    }
    palette.setColor(QPalette::PlaceholderText, colors.textTertiary);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    window.update();
}

}  // namespace joulemap
