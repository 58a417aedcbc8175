#include "ToggleSwitch.h"

#include <QPainter>

#include "Accents.h"
#include "ThemeManager.h"
#include "ViewColors.h"

namespace joulemap {

namespace {
constexpr double kKnobInset = 2;
constexpr double kDisabledOpacity = 0.4;
}  // namespace

ToggleSwitch::ToggleSwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ToggleSwitch::setThemeManager(ThemeManager* manager) {
    themeManager_ = manager;
    update();
}

QSize ToggleSwitch::sizeHint() const { return {kWidth, kHeight}; }

void ToggleSwitch::paintEvent(QPaintEvent*) {
    const ThemePalette& palette = themePalette(themeManager_);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) p.setOpacity(kDisabledOpacity);
    const QRectF track(0, (height() - kHeight) / 2.0, kWidth, kHeight);
    p.setPen(Qt::NoPen);
    p.setBrush(isChecked() ? hexQColor(kAccentGreen) : palette.trackColor);
    p.drawRoundedRect(track, kHeight / 2.0, kHeight / 2.0);
    const double knob = kHeight - 2 * kKnobInset;
    const double x = isChecked() ? track.right() - kKnobInset - knob : track.left() + kKnobInset;
    p.setBrush(Qt::white);
    p.setPen(QPen(withOpacity(Qt::black, 0.12), 0.5));
    p.drawEllipse(QRectF(x, track.top() + kKnobInset, knob, knob));
}

}  // namespace joulemap
