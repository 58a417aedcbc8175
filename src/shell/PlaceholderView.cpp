#include "PlaceholderView.h"

#include "ThemeManager.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap {

PlaceholderView::PlaceholderView(const QString& text, ThemeManager* theme, QWidget* parent)
    : QLabel(text, parent), theme_(theme) {
    constexpr double kFontSize = 14;
    setAlignment(Qt::AlignCenter);
    setFont(Typography::font(kFontSize));
    if (theme_) connect(theme_, &ThemeManager::themeChanged, this, &PlaceholderView::applyTheme);
    applyTheme();
}

void PlaceholderView::applyTheme() {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, themePalette(theme_).textTertiary);
    setPalette(p);
}

}  // namespace joulemap
