#include "BatteryHealthView.h"

#include <QEasingCurve>
#include <QPainter>
#include <QPicture>

#include <algorithm>
#include <cmath>

#include "BatteryHealthModel.h"
#include "CardFrame.h"
#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap {

namespace {

constexpr double kPadding = 12;
constexpr double kHeaderSpacing = 6;
constexpr double kHeaderSymbolSize = 11;
constexpr double kBadgePaddingX = 8;
constexpr double kBadgePaddingY = 2;
constexpr double kBadgeOpacity = 0.15;
constexpr double kHeaderToBody = 10;
constexpr double kRingSide = 84;
constexpr double kRingLineWidth = 7;
constexpr double kRingToFigures = 16;
constexpr double kRingLabelSpacing = 2;
constexpr double kMetricRowSpacing = 8;
constexpr double kMetricGap = 8;  // least room between a figure's label and its value
constexpr int kPreferredWidth = 300;
constexpr int kMinimumWidth = 240;
// Arcs in Qt are sixteenths of a degree, counter-clockwise from three o'clock.
constexpr int kQtAngleUnitsPerDegree = 16;
constexpr int kTwelveOClock = 90 * kQtAngleUnitsPerDegree;
constexpr int kFullTurn = 360 * kQtAngleUnitsPerDegree;

QFont titleFont() { return Typography::font(12, Typography::Weight::semibold); }
QFont badgeFont() { return Typography::font(10.5, Typography::Weight::medium); }
QFont ringValueFont() { return Typography::font(22, Typography::Weight::semibold); }
QFont ringCaptionFont() { return Typography::font(9); }
QFont metricLabelFont() { return Typography::font(11.5); }
QFont metricValueFont() { return Typography::font(11.5, Typography::Weight::semibold); }

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

double headerHeight() {
    return std::max({SymbolIcon::boxSide(kHeaderSymbolSize), Typography::lineHeight(titleFont()),
                     Typography::lineHeight(badgeFont()) + 2 * kBadgePaddingY});
}

double metricRowHeight() {
    return std::max(Typography::lineHeight(metricLabelFont()), Typography::lineHeight(metricValueFont()));
}

// A machine with several batteries lists each one under the ring.
int cardHeight(std::size_t batteryRows) {
    const double extra = batteryRows == 0 ? 0 : kHeaderToBody + batteryRows * (metricRowHeight() + kMetricRowSpacing);
    return static_cast<int>(std::ceil(2 * kPadding + headerHeight() + kHeaderToBody + kRingSide + extra));
}

}  // namespace

BatteryHealthView::BatteryHealthView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    ringAnimation_.setDuration(kRingAnimationMs);
    // The usual ease-in-out timing curve.
    QEasingCurve easeInOut(QEasingCurve::BezierSpline);
    easeInOut.addCubicBezierSegment(QPointF(0.42, 0), QPointF(0.58, 1), QPointF(1, 1));
    ringAnimation_.setEasingCurve(easeInOut);
    connect(&ringAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        displayedFraction_ = value.toDouble();
        update();
    });
}

void BatteryHealthView::setThemeManager(ThemeManager* manager) {
    if (themeManager_) disconnect(themeManager_, nullptr, this, nullptr);
    themeManager_ = manager;
    if (manager) connect(manager, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
    update();
}

std::size_t BatteryHealthView::rowsUnderRing(const BatteryInfo& battery) {
    return BatteryHealthModel::batteryRows(battery).size() + (BatteryHealthModel::chargeLimitRow(battery) ? 1 : 0);
}

void BatteryHealthView::setBattery(const BatteryInfo& battery) {
    const bool rowsChanged = rowsUnderRing(battery) != rowsUnderRing(battery_);
    battery_ = battery;
    if (rowsChanged) updateGeometry();
    const double target = BatteryHealthModel::ringFraction(BatteryHealthModel::healthPercent(battery));
    const bool moving = ringAnimation_.state() == QAbstractAnimation::Running;
    const double currentTarget = moving ? ringAnimation_.endValue().toDouble() : displayedFraction_;
    if (target != currentTarget) {
        ringAnimation_.stop();
        if (isVisible()) {
            ringAnimation_.setStartValue(displayedFraction_);
            ringAnimation_.setEndValue(target);
            ringAnimation_.start();
        } else {
            displayedFraction_ = target;
        }
    }
    update();
}

QRectF BatteryHealthView::ringFrame() const {
    return {kPadding, kPadding + headerHeight() + kHeaderToBody, kRingSide, kRingSide};
}

QSize BatteryHealthView::sizeHint() const {
    return {kPreferredWidth, cardHeight(rowsUnderRing(battery_))};
}

QSize BatteryHealthView::minimumSizeHint() const {
    return {kMinimumWidth, cardHeight(rowsUnderRing(battery_))};
}

TextBoxes BatteryHealthView::textBoxes() const {
    QPicture picture;
    QPainter painter(&picture);
    TextBoxes boxes;
    paintCard(painter, &boxes);
    return boxes;
}

void BatteryHealthView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintCard(painter, nullptr);
}

void BatteryHealthView::paintCard(QPainter& painter, TextBoxes* boxes) const {
    namespace model = BatteryHealthModel;
    const ThemePalette& palette = themePalette(themeManager_);
    const QColor statusColor = hexQColor(model::statusColorHex(battery_));

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintCardFrame(painter, QRectF(rect()), palette);

    const double left = kPadding;
    const double right = width() - kPadding;

    // Header: symbol, title, and the status word on a tinted capsule at the far end.
    const double header = headerHeight();
    const double headerMid = kPadding + header / 2;
    const double symbolSide = SymbolIcon::boxSide(kHeaderSymbolSize);
    SymbolIcon::draw(painter, QRectF(left, headerMid - symbolSide / 2, symbolSide, symbolSide),
                     "heart.text.square", palette.textTertiary);
    const QFont title = titleFont();
    painter.setFont(title);
    painter.setPen(palette.secondaryText);
    Typography::drawLine(
        painter, QPointF(left + symbolSide + kHeaderSpacing, headerMid - Typography::lineHeight(title) / 2),
        qs(model::kTitle.str()), boxes);

    const QFont badge = badgeFont();
    const QString status = qs(model::statusText(battery_));
    const QSizeF badgeSize(Typography::textWidth(badge, status) + 2 * kBadgePaddingX,
                           Typography::lineHeight(badge) + 2 * kBadgePaddingY);
    const QRectF badgeRect(right - badgeSize.width(), headerMid - badgeSize.height() / 2, badgeSize.width(),
                           badgeSize.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(withOpacity(statusColor, kBadgeOpacity));
    painter.drawRoundedRect(badgeRect, badgeRect.height() / 2, badgeRect.height() / 2);
    painter.setFont(badge);
    painter.setPen(statusColor);
    Typography::drawLine(painter, badgeRect.topLeft() + QPointF(kBadgePaddingX, kBadgePaddingY), status,
                         boxes);

    // Ring: track, then the arc clockwise from twelve o'clock.
    const QRectF ringFrame = this->ringFrame();
    const QRectF ringPath =
        ringFrame.adjusted(kRingLineWidth / 2, kRingLineWidth / 2, -kRingLineWidth / 2, -kRingLineWidth / 2);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(palette.trackColor, kRingLineWidth));
    painter.drawEllipse(ringPath);
    if (displayedFraction_ > 0) {
        painter.setPen(QPen(statusColor, kRingLineWidth, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(ringPath, kTwelveOClock,
                        -static_cast<int>(std::lround(displayedFraction_ * kFullTurn)));
    }

    const QFont ringValue = ringValueFont();
    const QFont ringCaption = ringCaptionFont();
    const QString label = qs(model::ringLabel(battery_));
    const QString caption = qs(model::kRingCaption.str());
    const double labelBlock =
        Typography::lineHeight(ringValue) + kRingLabelSpacing + Typography::lineHeight(ringCaption);
    const double labelTop = ringFrame.center().y() - labelBlock / 2;
    painter.setFont(ringValue);
    painter.setPen(statusColor);
    Typography::drawLine(
        painter, QPointF(ringFrame.center().x() - Typography::tabularWidth(ringValue, label) / 2, labelTop),
        label, boxes, Typography::Digits::tabular);
    painter.setFont(ringCaption);
    painter.setPen(palette.textTertiary);
    Typography::drawLine(painter,
                         QPointF(ringFrame.center().x() - Typography::textWidth(ringCaption, caption) / 2,
                                 labelTop + Typography::lineHeight(ringValue) + kRingLabelSpacing),
                         caption, boxes);

    // Figures, centred against the ring; then each battery of a machine with several, under the ring.
    const QFont metricLabel = metricLabelFont();
    const QFont metricValue = metricValueFont();
    const double rowHeight = metricRowHeight();
    const auto drawRow = [&](const model::MetricRow& row, double rowLeft, double rowTop) {
        // The value is drawn whole at the right; the label gives way to it.
        const QString value = QString::fromStdString(row.value);
        const double valueWidth = Typography::tabularWidth(metricValue, value);
        const double labelWidth = right - valueWidth - kMetricGap - rowLeft;
        painter.setFont(metricLabel);
        painter.setPen(palette.secondaryText);
        Typography::drawLine(painter, QPointF(rowLeft, rowTop),
                             Typography::elided(metricLabel, qs(row.label), labelWidth), boxes);
        painter.setFont(metricValue);
        painter.setPen(row.valueColorHex ? hexQColor(*row.valueColorHex) : palette.primaryText);
        Typography::drawLine(painter, QPointF(right - valueWidth, rowTop), value, boxes,
                             Typography::Digits::tabular);
    };
    const auto rows = model::metricRows(battery_);
    const double figuresHeight = rows.size() * rowHeight + (rows.size() - 1) * kMetricRowSpacing;
    double rowTop = ringFrame.center().y() - figuresHeight / 2;
    for (const auto& row : rows) {
        drawRow(row, ringFrame.right() + kRingToFigures, rowTop);
        rowTop += rowHeight + kMetricRowSpacing;
    }
    rowTop = ringFrame.bottom() + kHeaderToBody;
    for (const auto& row : model::batteryRows(battery_)) {
        drawRow(row, left, rowTop);
        rowTop += rowHeight + kMetricRowSpacing;
    }
    if (const auto limit = model::chargeLimitRow(battery_)) drawRow(*limit, left, rowTop);
}

}  // namespace joulemap
