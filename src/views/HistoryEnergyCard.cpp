#include "HistoryEnergyCard.h"

#include "HistoryColors.h"
#include "PowerAggregator.h"
#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "Typography.h"
#include "ViewColors.h"
#include "WrappedText.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace joulemap {

namespace {

constexpr std::string_view kTitleSymbol = "bolt.fill";
constexpr double kTrackOpacity = 0.12;

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QColor barColor(const std::string& name) {
    if (name == appEnergyDisplayName(kSystemEnergyName)) return HistoryColors::system();
    if (name == kAppEnergyRestName.str()) return hexQColor("#8e8e93");
    return hexQColor(PowerAggregator::appColor(name));
}

}  // namespace

HistoryEnergyCard::HistoryEnergyCard(ThemeManager* theme, QWidget* parent)
    : HistoryCard(theme, parent), sections_(appEnergySections({})) {}

void HistoryEnergyCard::setTotals(const std::vector<AppEnergy>& totals) {
    sections_ = appEnergySections(totals);
    updateGeometry();
    update();
}

bool HistoryEnergyCard::isEmpty() const {
    return std::all_of(sections_.begin(), sections_.end(), [](const AppEnergySection& s) { return s.rows.empty(); });
}

double HistoryEnergyCard::layOut(double width, QPainter* painter) const {
    const QColor secondary = HistoryColors::secondaryText(resolvedTheme());
    const double left = kPadding;
    const double contentWidth = std::max(width - 2 * kPadding, 0.0);
    double y = drawTitle(painter, kTitleSymbol, qs(kAppEnergyTitle.str()));

    if (isEmpty()) {
        if (painter) painter->setPen(secondary);
        y += wrappedText(painter, qs(kAppEnergyEmptyText.str()), Typography::font(kRowFontSize), {left, y}, contentWidth);
        return y + kPadding;
    }
    // Side by side when there is room, so both answers are seen at once; stacked in a narrow window.
    double sectionsHeight = 0;
    const double columnWidth = (contentWidth - kColumnGap) / 2;
    if (columnWidth >= kMinColumnWidth) {
        for (std::size_t i = 0; i < sections_.size(); ++i) {
            const double x = left + static_cast<double>(i) * (columnWidth + kColumnGap);
            sectionsHeight = std::max(sectionsHeight, layOutSection(sections_[i], x, y, columnWidth, painter));
        }
    } else {
        for (const AppEnergySection& section : sections_) {
            sectionsHeight += layOutSection(section, left, y + sectionsHeight, contentWidth, painter) + kTitleSpacing;
        }
    }
    y += sectionsHeight + kHeadingSpacing;
    if (painter) painter->setPen(secondary);
    y += wrappedText(painter, qs(kAppEnergyFootnote.str()), Typography::font(kSmallFontSize), {left, y}, contentWidth);
    return y + kPadding;
}

double HistoryEnergyCard::layOutSection(const AppEnergySection& section, double left, double top, double width,
                                        QPainter* painter) const {
    const AppTheme resolved = resolvedTheme();
    const QColor primary = HistoryColors::primaryText(resolved);
    const QColor secondary = HistoryColors::secondaryText(resolved);
    const QFont headingFont = Typography::font(kHeadingFontSize, Typography::Weight::medium);
    const QFont rowFont = Typography::font(kRowFontSize);
    const QFont smallFont = Typography::font(kSmallFontSize);
    double y = top;

    const double headingHeight = Typography::lineHeight(headingFont);
    if (painter) {
        painter->setFont(headingFont);
        painter->setPen(primary);
        painter->drawText(QPointF(left, y + Typography::ascent(headingFont)), QString::fromStdString(section.heading));
        const QString total = QString::fromStdString(section.totalText);
        painter->setFont(smallFont);
        painter->setPen(secondary);
        Typography::drawTabular(*painter,
                                {left + width - Typography::tabularWidth(smallFont, total), y + Typography::ascent(headingFont)},
                                total);
    }
    y += headingHeight + kHeadingSpacing;
    if (section.rows.empty()) {
        if (painter) painter->setPen(secondary);
        return y - top + wrappedText(painter, qs(kAppEnergyNoneInStateText.str()), smallFont, {left, y}, width);
    }

    // The widest figures set the columns, so every bar starts and ends at the same place.
    const double whWidth = Typography::tabularWidth(rowFont, QStringLiteral("000.0 Wh"));
    const double shareWidth = Typography::tabularWidth(smallFont, QStringLiteral("100%"));
    const double nameWidth = width * kNameShare;
    const double barLeft = left + nameWidth + kFigureGap;
    const double barWidth = std::max(0.0, width - nameWidth - whWidth - shareWidth - 3 * kFigureGap);
    double largest = 0;
    for (const AppEnergyRow& row : section.rows) largest = std::max(largest, row.wh);
    const QFontMetricsF rowMetrics(rowFont);
    for (const AppEnergyRow& row : section.rows) {
        if (painter) {
            const double baseline = y + (kRowHeight + rowMetrics.ascent() - rowMetrics.descent()) / 2;
            painter->setFont(rowFont);
            painter->setPen(primary);
            painter->drawText(QPointF(left, baseline),
                              rowMetrics.elidedText(QString::fromStdString(row.name), Qt::ElideRight, nameWidth));
            const QRectF track(barLeft, y + (kRowHeight - kBarHeight) / 2, barWidth, kBarHeight);
            QColor trackColor = secondary;
            trackColor.setAlphaF(kTrackOpacity);
            painter->setPen(Qt::NoPen);
            painter->setBrush(trackColor);
            painter->drawRoundedRect(track, kBarHeight / 2, kBarHeight / 2);
            QRectF bar = track;
            bar.setWidth(largest > 0 ? std::max(kBarHeight, barWidth * row.wh / largest) : 0);
            painter->setBrush(barColor(row.name));
            painter->drawRoundedRect(bar, kBarHeight / 2, kBarHeight / 2);
            const QString wh = QString::fromStdString(row.whText);
            const QString share = QString::fromStdString(row.shareText);
            painter->setPen(primary);
            const double whRight = left + width - shareWidth - kFigureGap;
            Typography::drawTabular(*painter, {whRight - Typography::tabularWidth(rowFont, wh), baseline}, wh);
            painter->setFont(smallFont);
            painter->setPen(secondary);
            Typography::drawTabular(*painter, {left + width - Typography::tabularWidth(smallFont, share), baseline}, share);
        }
        y += kRowHeight;
    }
    return y - top;
}

}  // namespace joulemap
