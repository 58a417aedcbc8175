#include "StatCard.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "CardFrame.h"
#include "Sparkline.h"
#include "ThemeManager.h"
#include "Typography.h"
#include "ViewColors.h"

namespace joulemap {

namespace {

constexpr double kPaddingX = 14;
constexpr double kPaddingY = 11;
constexpr double kLineSpacing = 6;
constexpr double kUnitSpacing = 2;
constexpr double kSubtitleSpacing = 8;
constexpr double kSparklineWidth = 70;
constexpr double kSparklineHeight = 24;
constexpr int kPreferredWidth = 200;
constexpr int kMinimumWidth = 150;

QFont titleFont() { return Typography::font(11); }
QFont valueFont() { return Typography::font(24, Typography::Weight::semibold); }
QFont unitFont() { return Typography::font(12); }
QFont subtitleFont() { return Typography::font(10.5); }

double bottomRowHeight() { return std::max(kSparklineHeight, Typography::lineHeight(subtitleFont())); }

int cardHeight() {
    const double height = kPaddingY + Typography::lineHeight(titleFont()) + kLineSpacing +
                          Typography::lineHeight(valueFont()) + kLineSpacing + bottomRowHeight() + kPaddingY;
    return static_cast<int>(std::ceil(height));
}

}  // namespace

StatCard::StatCard(QWidget* parent) : QWidget(parent), sparkline_(new Sparkline(this)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    sparkline_->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeSparkline();
}

void StatCard::setThemeManager(ThemeManager* manager) {
    if (themeManager_) disconnect(themeManager_, nullptr, this, nullptr);
    themeManager_ = manager;
    if (manager) connect(manager, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
    update();
}

void StatCard::setTitle(const QString& title) {
    title_ = title;
    update();
}

void StatCard::setValue(const QString& value) {
    value_ = value;
    update();
}

void StatCard::setUnit(const QString& unit) {
    unit_ = unit;
    update();
}

void StatCard::setColor(const QColor& color) {
    color_ = color;
    sparkline_->setColor(color);
    update();
}

void StatCard::setUseThemeValueColor(bool useThemeValueColor) {
    useThemeValueColor_ = useThemeValueColor;
    update();
}

void StatCard::setSubtitle(const QString& subtitle) {
    subtitle_ = subtitle;
    update();
}

void StatCard::setHistory(std::vector<double> history, std::optional<double> maxHistory) {
    sparkline_->setValues(std::move(history), maxHistory);
}

QSize StatCard::sizeHint() const { return {kPreferredWidth, cardHeight()}; }

QSize StatCard::minimumSizeHint() const { return {kMinimumWidth, cardHeight()}; }

void StatCard::resizeEvent(QResizeEvent*) { placeSparkline(); }

void StatCard::placeSparkline() {
    const double bottom = height() - kPaddingY;
    sparkline_->setGeometry(static_cast<int>(std::lround(width() - kPaddingX - kSparklineWidth)),
                            static_cast<int>(std::lround(bottom - kSparklineHeight)), static_cast<int>(kSparklineWidth),
                            static_cast<int>(kSparklineHeight));
}

void StatCard::paintEvent(QPaintEvent*) {
    const ThemePalette& palette = themePalette(themeManager_);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintCardFrame(painter, QRectF(rect()), palette);

    const double left = kPaddingX;
    const double contentWidth = width() - 2 * kPaddingX;
    double top = kPaddingY;

    const QFont title = titleFont();
    painter.setFont(title);
    painter.setPen(palette.secondaryText);
    painter.drawText(QPointF(left, top + Typography::ascent(title)),
                     QFontMetricsF(title).elidedText(title_, Qt::ElideRight, contentWidth));
    top += Typography::lineHeight(title) + kLineSpacing;

    // Value and unit share a baseline.
    const QFont value = valueFont();
    const QFont unit = unitFont();
    const double baseline = top + Typography::ascent(value);
    painter.setFont(value);
    painter.setPen(useThemeValueColor_ ? palette.primaryText : color_);
    Typography::drawTabular(painter, QPointF(left, baseline), value_);
    painter.setFont(unit);
    painter.setPen(palette.secondaryText);
    painter.drawText(QPointF(left + Typography::tabularWidth(value, value_) + kUnitSpacing, baseline), unit_);

    // The subtitle takes what the sparkline leaves, bottom-aligned with it.
    const QFont subtitle = subtitleFont();
    const QFontMetricsF subtitleMetrics(subtitle);
    const double subtitleWidth = std::max(0.0, contentWidth - kSparklineWidth - kSubtitleSpacing);
    painter.setFont(subtitle);
    painter.setPen(palette.textTertiary);
    painter.drawText(QPointF(left, height() - kPaddingY - subtitleMetrics.descent()),
                     subtitleMetrics.elidedText(subtitle_, Qt::ElideRight, subtitleWidth));
}

}  // namespace joulemap
