#include "HistoryAlertsCard.h"

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

HistoryAlertsCard::HistoryAlertsCard(ThemeManager* theme, QWidget* parent) : HistoryCard(theme, parent) {
    title_ = QString::fromStdString(alertHistoryTitle(0));
}

void HistoryAlertsCard::setAlerts(const std::vector<HistoryStore::AlertRecord>& alerts) {
    title_ = QString::fromStdString(alertHistoryTitle(alerts.size()));
    rows_ = alertRows(alerts);
    updateGeometry();
    update();
}

double HistoryAlertsCard::layOut(double width, QPainter* painter) const {
    const AppTheme resolved = resolvedTheme();
    const QColor primary = HistoryColors::primaryText(resolved);
    const QColor secondary = HistoryColors::secondaryText(resolved);
    const double left = kPadding;
    const double contentWidth = std::max(width - 2 * kPadding, 0.0);
    double y = drawTitle(painter, kTitleSymbol, title_);

    if (rows_.empty()) {
        if (painter) painter->setPen(secondary);
        y += wrappedText(painter, QString::fromStdString(kNoAlertsText.str()),
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
