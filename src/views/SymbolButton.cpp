#include "SymbolButton.h"

#include <QFocusEvent>
#include <QPainter>

#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "ViewColors.h"

namespace joulemap {

namespace {

constexpr double kPressedOpacity = 0.5;
constexpr double kFocusCornerRadius = 6;

}  // namespace

SymbolButton::SymbolButton(std::string symbolName, const QString& help, QWidget* parent)
    : QAbstractButton(parent), symbolName_(std::move(symbolName)) {
    setToolTip(help);
    setAccessibleName(help);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(kSide, kSide);
}

void SymbolButton::setThemeManager(ThemeManager* manager) {
    if (themeManager_) disconnect(themeManager_, nullptr, this, nullptr);
    themeManager_ = manager;
    if (manager) connect(manager, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
    update();
}

void SymbolButton::focusInEvent(QFocusEvent* event) {
    // Only a focus reached with the keyboard is marked; the window handing its focus to the first
    // button when it opens would otherwise look like a pressed button.
    const Qt::FocusReason reason = event->reason();
    keyboardFocus_ = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    QAbstractButton::focusInEvent(event);
}

void SymbolButton::focusOutEvent(QFocusEvent* event) {
    keyboardFocus_ = false;
    QAbstractButton::focusOutEvent(event);
}

QSize SymbolButton::sizeHint() const { return {kSide, kSide}; }

void SymbolButton::paintEvent(QPaintEvent*) {
    const ThemePalette& palette = themePalette(themeManager_);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (isDown()) p.setOpacity(kPressedOpacity);
    if (keyboardFocus_ && hasFocus()) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette.highlightBackground);
        p.drawRoundedRect(QRectF(rect()), kFocusCornerRadius, kFocusCornerRadius);
    }
    const double side = SymbolIcon::boxSide(kSymbolSize);
    const QRectF box(QPointF((width() - side) / 2, (height() - side) / 2), QSizeF(side, side));
    SymbolIcon::draw(p, box, symbolName_, palette.secondaryText);
}

}  // namespace joulemap
