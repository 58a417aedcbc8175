#include "HistoryAlertsCard.h"

#include "CardFrame.h"
#include "HistoryColors.h"
#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "Typography.h"
#include "WrappedText.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace joulemap {

namespace {
constexpr std::string_view kTitleSymbol = "bell.badge";
}

HistoryAlertsCard::HistoryAlertsCard(ThemeManager* theme, QWidget* parent) : QWidget(parent), theme_(theme) {
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    title_ = QString::fromStdString(alertHistoryTitle(0));
    if (theme_) connect(theme_, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
}

void HistoryAlertsCard::setAlerts(const std::vector<HistoryStore::AlertRecord>& alerts) {
    title_ = QString::fromStdString(alertHistoryTitle(alerts.size()));
    rows_ = alertRows(alerts);
    updateGeometry();
    update();
}

QSize HistoryAlertsCard::sizeHint() const { return {600, heightForWidth(600)}; }

QSize HistoryAlertsCard::minimumSizeHint() const { return {300, heightForWidth(300)}; }

int HistoryAlertsCard::heightForWidth(int width) const {
    return static_cast<int>(std::ceil(layOut(width, nullptr)));
}

void HistoryAlertsCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const AppTheme resolved = theme_ ? theme_->resolvedTheme() : AppTheme::light;
    paintCardFrame(painter, rect(), joulemap::palette(resolved), kCornerRadius);
    layOut(width(), &painter);
}

double HistoryAlertsCard::layOut(double width, QPainter* painter) const {
    const AppTheme resolved = theme_ ? theme_->resolvedTheme() : AppTheme::light;
    const QColor primary = HistoryColors::primaryText(resolved);
    const QColor secondary = HistoryColors::secondaryText(resolved);
    const double left = kPadding;
    const double contentWidth = std::max(width - 2 * kPadding, 0.0);
    double y = kPadding;

    const QFont titleFont = Typography::font(kTitleFontSize, Typography::Weight::semibold);
    const double titleHeight = Typography::lineHeight(titleFont);
    if (painter) {
        const double side = SymbolIcon::boxSide(kSymbolSize);
        SymbolIcon::draw(*painter, QRectF(left, y + (titleHeight - side) / 2, side, side), kTitleSymbol, secondary);
        painter->setFont(titleFont);
        painter->setPen(primary);
        painter->drawText(QPointF(left + side + kSymbolGap, y + Typography::ascent(titleFont)), title_);
    }
    y += titleHeight + kTitleSpacing;

    if (rows_.empty()) {
        if (painter) painter->setPen(secondary);
        y += wrappedText(painter, QString::fromUtf8(kNoAlertsText.data(), qsizetype(kNoAlertsText.size())),
                         Typography::font(kEmptyFontSize), {left, y}, contentWidth);
        return y + kPadding;
    }

    const QFont iconFont = Typography::font(kIconFontSize);
    const QFont rowTitleFont = Typography::font(kAlertTitleFontSize, Typography::Weight::medium);
    const QFont bodyFont = Typography::font(kAlertBodyFontSize);
    const QFont timeFont = Typography::font(kTimeFontSize);
    const QFontMetricsF timeMetrics(timeFont);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const AlertRow& row = rows_[i];
        if (i > 0) y += kRowSpacing;
        const QString time = QString::fromStdString(row.time);
        const double timeWidth = Typography::tabularWidth(timeFont, time);
        const double textLeft = left + kIconWidth;
        const double textWidth = contentWidth - kIconWidth - timeWidth - kTimeGap;
        if (painter) {
            painter->setFont(iconFont);
            painter->setPen(primary);
            painter->drawText(QRectF(left, y, kIconWidth, Typography::lineHeight(iconFont)),
                              Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(row.icon));
            painter->setFont(timeFont);
            painter->setPen(secondary);
            Typography::drawTabular(*painter, {left + contentWidth - timeWidth, y + timeMetrics.ascent()}, time);
            painter->setPen(primary);
        }
        double textHeight = wrappedText(painter, QString::fromStdString(row.title), rowTitleFont, {textLeft, y}, textWidth);
        if (!row.body.empty()) {
            if (painter) painter->setPen(secondary);
            textHeight += kBodySpacing;
            textHeight += wrappedText(painter, QString::fromStdString(row.body), bodyFont, {textLeft, y + textHeight},
                                      textWidth);
        }
        y += std::max(textHeight, Typography::lineHeight(iconFont));
    }
    return y + kPadding;
}

}  // namespace joulemap
