#include "SegmentedControl.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "ThemeManager.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap {

namespace {
constexpr int kHeight = 26;
constexpr int kSegmentPadding = 14;
constexpr int kInset = 2;
constexpr double kRadius = 7;
constexpr double kDisabledOpacity = 0.4;
constexpr double kFontSize = 12;

QFont segmentFont() { return Typography::font(kFontSize, Typography::Weight::medium); }
}  // namespace

SegmentedControl::SegmentedControl(QStringList labels, QWidget* parent) : QWidget(parent), labels_(std::move(labels)) {
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SegmentedControl::setThemeManager(ThemeManager* manager) {
    themeManager_ = manager;
    update();
}

void SegmentedControl::setCurrentIndex(int index) {
    current_ = std::clamp(index, 0, int(labels_.size()) - 1);
    update();
}

QSize SegmentedControl::sizeHint() const {
    const QFontMetrics metrics(segmentFont());
    int widest = 0;
    for (const QString& label : labels_) widest = std::max(widest, metrics.horizontalAdvance(label));
    // Equal segments, sized for the longest label, so the chip does not change width as it moves.
    return {int(labels_.size()) * (widest + 2 * kSegmentPadding) + 2 * kInset, kHeight};
}

QRect SegmentedControl::segmentRect(int index) const {
    const int count = std::max<int>(1, int(labels_.size()));
    const int segment = (width() - 2 * kInset) / count;
    return {kInset + index * segment, kInset, segment, height() - 2 * kInset};
}

void SegmentedControl::paintEvent(QPaintEvent*) {
    const ThemePalette& palette = themePalette(themeManager_);
    QPainter p(this);
    // Dimmed like a disabled switch, so a control that cannot be used says so.
    if (!isEnabled()) p.setOpacity(kDisabledOpacity);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(palette.trackColor);
    p.drawRoundedRect(QRectF(rect()), kRadius, kRadius);
    p.setFont(segmentFont());
    for (int i = 0; i < labels_.size(); ++i) {
        const QRect segment = segmentRect(i);
        if (i == current_) {
            p.setPen(QPen(palette.cardStroke, 1));
            // The card colour is translucent; a solid base keeps the chip readable on the track.
            p.setBrush(palette.backgroundColors.value(0));
            p.drawRoundedRect(QRectF(segment).adjusted(0.5, 0.5, -0.5, -0.5), kRadius - kInset, kRadius - kInset);
        }
        p.setPen(i == current_ ? palette.primaryText : palette.secondaryText);
        p.drawText(segment, Qt::AlignCenter, labels_[i]);
    }
}

void SegmentedControl::mousePressEvent(QMouseEvent* event) {
    for (int i = 0; i < labels_.size(); ++i) {
        if (segmentRect(i).contains(event->position().toPoint())) choose(i);
    }
}

void SegmentedControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left) {
        choose(std::max(0, current_ - 1));
    } else if (event->key() == Qt::Key_Right) {
        choose(std::min(int(labels_.size()) - 1, current_ + 1));
    } else {
        QWidget::keyPressEvent(event);
    }
}

void SegmentedControl::choose(int index) {
    setCurrentIndex(index);
    emit activated(current_);
}

}  // namespace joulemap
