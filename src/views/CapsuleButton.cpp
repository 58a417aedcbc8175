#include "CapsuleButton.h"

#include "HistoryColors.h"
#include "ThemeManager.h"
#include "Typography.h"
#include "ViewColors.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace joulemap {

namespace {
constexpr double kPressedOpacity = 0.6;
}

CapsuleButton::CapsuleButton(const QString& text, QColor accent, ThemeManager* theme, QWidget* parent)
    : QAbstractButton(parent), accent_(accent), theme_(theme) {
    setText(text);
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    if (theme_) connect(theme_, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
}

QSize CapsuleButton::sizeHint() const {
    const QFont font = Typography::font(kFontSize, Typography::Weight::medium);
    const double width = QFontMetricsF(font).horizontalAdvance(text()) + 2 * kPaddingX;
    const double height = Typography::lineHeight(font) + 2 * kPaddingY;
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

void CapsuleButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const AppTheme resolved = theme_ ? theme_->resolvedTheme() : AppTheme::light;
    const ThemePalette& colors = joulemap::palette(resolved);
    if (isDown()) painter.setOpacity(kPressedOpacity);

    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = box.height() / 2;
    painter.setPen(hasFocus() ? QPen(accent_, 1) : Qt::NoPen);
    painter.setBrush(isChecked() ? withOpacity(accent_, kCheckedFillOpacity) : colors.highlightBackground);
    painter.drawRoundedRect(box, radius, radius);

    painter.setFont(Typography::font(kFontSize, Typography::Weight::medium));
    painter.setPen(isChecked() ? HistoryColors::primaryText(resolved) : HistoryColors::secondaryText(resolved));
    painter.drawText(rect(), Qt::AlignCenter, text());
}

}  // namespace joulemap
