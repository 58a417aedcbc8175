#include "StatCard.h"

#include <QPainter>
#include <QPicture>

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
// A subtitle may take a second line rather than hide its end: the input card's ends with the
// measured input ("实际 42.4W").
constexpr int kSubtitleLines = 2;
constexpr double kSparklineWidth = 70;
constexpr double kSparklineHeight = 24;
constexpr int kPreferredWidth = 200;
constexpr int kMinimumWidth = 150;

QFont titleFont() { return Typography::font(11); }
QFont valueFont() { return Typography::font(24, Typography::Weight::semibold); }
QFont unitFont() { return Typography::font(12); }
QFont subtitleFont() { return Typography::font(10.5); }

// Every card keeps room for two subtitle lines, so the row of cards does not jump when one wraps.
double bottomRowHeight() {
    return std::max(kSparklineHeight, kSubtitleLines * Typography::lineHeight(subtitleFont()));
}

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
                            static_cast<int>(std::lround(bottom - kSparklineHeight)),
                            static_cast<int>(kSparklineWidth), static_cast<int>(kSparklineHeight));
}

TextBoxes StatCard::textBoxes() const {
    QPicture picture;
    QPainter painter(&picture);
    TextBoxes boxes;
    paintCard(painter, &boxes);
    return boxes;
}

void StatCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintCard(painter, nullptr);
}

void StatCard::paintCard(QPainter& painter, TextBoxes* boxes) const {
    const ThemePalette& palette = themePalette(themeManager_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintCardFrame(painter, QRectF(rect()), palette);

    const double left = kPaddingX;
    const double contentWidth = width() - 2 * kPaddingX;
    double top = kPaddingY;

    const QFont title = titleFont();
    painter.setFont(title);
    painter.setPen(palette.secondaryText);
    Typography::drawLine(painter, QPointF(left, top), Typography::elided(title, title_, contentWidth), boxes);
    top += Typography::lineHeight(title) + kLineSpacing;

    // Value and unit share a baseline; a unit that would not fit is dropped before the value is cut.
    const QFont value = valueFont();
    const QFont unit = unitFont();
    const double baseline = top + Typography::ascent(value);
    const QString valueText = Typography::elided(value, value_, contentWidth, Typography::Digits::tabular);
    painter.setFont(value);
    painter.setPen(useThemeValueColor_ ? palette.primaryText : color_);
    const QRectF valueBox =
        Typography::drawLine(painter, QPointF(left, top), valueText, boxes, Typography::Digits::tabular);
    const double unitLeft = valueBox.right() + kUnitSpacing;
    if (unitLeft + Typography::textWidth(unit, unit_) <= left + contentWidth) {
        painter.setFont(unit);
        painter.setPen(palette.secondaryText);
        Typography::drawLine(painter, QPointF(unitLeft, baseline - Typography::ascent(unit)), unit_, boxes);
    }

    // The subtitle takes what the sparkline leaves, its last line bottom-aligned with it.
    const QFont subtitle = subtitleFont();
    const double subtitleWidth = std::max(0.0, contentWidth - kSparklineWidth - kSubtitleSpacing);
    const QStringList lines = Typography::wrapLines(subtitle, subtitle_, subtitleWidth, kSubtitleLines);
    const double lineHeight = Typography::lineHeight(subtitle);
    double lineTop = height() - kPaddingY - lines.size() * lineHeight;
    painter.setFont(subtitle);
    painter.setPen(palette.textTertiary);
    for (const QString& line : lines) {
        Typography::drawLine(painter, QPointF(left, lineTop), line, boxes);
        lineTop += lineHeight;
    }
}

}  // namespace joulemap
