#include "ChangelogBlocks.h"

#include "Accents.h"
#include "Translations.h"
#include "Typography.h"
#include "ViewColors.h"
#include "WrappedText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace joulemap::ChangelogBlocks {

namespace {

constexpr SourceText kCurrentBadge = JM_TR_NOOP("ChangelogBlocks", "当前");
constexpr const char* kVersionPrefix = "v";
constexpr const char* kBullet = "·";

constexpr double kVersionFontSize = 17;
constexpr double kDateFontSize = 11.5;
constexpr double kBadgeFontSize = 9.5;
constexpr double kBadgePaddingX = 6;
constexpr double kBadgePaddingY = 1.5;
constexpr double kBadgeOpacityDark = 0.22;
constexpr double kBadgeOpacityLight = 0.14;
constexpr double kHeaderSpacing = 8;

constexpr double kSummaryFontSize = 11.5;
constexpr double kDetailsSpacing = 12;  // summary and groups
constexpr double kGroupLabelFontSize = 11;
constexpr double kGroupLabelPaddingX = 8;
constexpr double kGroupLabelPaddingY = 3;
constexpr double kGroupLabelOpacityDark = 0.18;
constexpr double kGroupLabelOpacityLight = 0.12;
constexpr double kItemSpacing = 8;  // label to items and between items
constexpr double kBulletFontSize = 12;
constexpr double kItemTitleFontSize = 12.5;
constexpr double kItemDetailFontSize = 11;
constexpr double kItemIndent = 17;
constexpr double kDetailGap = 5;

QString qText(const std::string& text) { return QString::fromStdString(text); }

// Text on a capsule of its own colour, as the "当前" badge and the group labels are drawn; returns
// the capsule's height.
double capsuleLabel(QPainter* painter, const QString& text, const QFont& font, const QColor& color, double fillOpacity,
                    QPointF origin, QPointF padding) {
    const QFontMetricsF metrics(font);
    const QRectF box(origin, QSizeF(metrics.horizontalAdvance(text) + 2 * padding.x(),
                                    Typography::lineHeight(font) + 2 * padding.y()));
    if (painter) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(withOpacity(color, fillOpacity));
        painter->drawRoundedRect(box, box.height() / 2, box.height() / 2);
        painter->setFont(font);
        painter->setPen(color);
        painter->drawText(QPointF(box.left() + padding.x(), box.top() + padding.y() + metrics.ascent()), text);
    }
    return box.height();
}

double groupBlock(QPainter* painter, const ChangelogData::Group& group, AppTheme theme, QPointF origin, double width) {
    const ThemePalette& colors = palette(theme);
    const auto label = ChangelogData::groupLabel(group.kind);
    const QColor labelColor = label.colorHex ? hexQColor(*label.colorHex) : colors.textTertiary;
    const bool dark = theme == AppTheme::dark;
    double y = origin.y();
    y += capsuleLabel(painter, qText(label.text.str()), Typography::font(kGroupLabelFontSize, Typography::Weight::semibold),
                      labelColor, dark ? kGroupLabelOpacityDark : kGroupLabelOpacityLight, {origin.x(), y},
                      {kGroupLabelPaddingX, kGroupLabelPaddingY});

    const QFont bulletFont = Typography::font(kBulletFontSize, Typography::Weight::bold);
    const QFont titleFont = Typography::font(kItemTitleFontSize, Typography::Weight::semibold);
    const QFont detailFont = Typography::font(kItemDetailFontSize);
    const double textWidth = std::max(width - kItemIndent, 1.0);
    for (const auto& item : group.items) {
        y += kItemSpacing;
        if (painter) {
            // The bullet shares the title's first baseline.
            painter->setFont(bulletFont);
            painter->setPen(colors.textTertiary);
            painter->drawText(QPointF(origin.x() + 4, y + Typography::ascent(titleFont)), QString::fromUtf8(kBullet));
            painter->setPen(colors.primaryText);
        }
        y += wrappedText(painter, qText(item.title), titleFont, {origin.x() + kItemIndent, y}, textWidth);
        if (!item.detail.empty()) {
            y += kDetailGap;
            if (painter) painter->setPen(colors.secondaryText);
            y += wrappedText(painter, qText(item.detail), detailFont, {origin.x() + kItemIndent, y}, textWidth);
        }
    }
    return y - origin.y();
}

}  // namespace

double versionHeader(QPainter* painter, const ChangelogData::Version& version, bool isCurrent, AppTheme theme,
                     QPointF origin, double width) {
    const ThemePalette& colors = palette(theme);
    const QFont versionFont = Typography::font(kVersionFontSize, Typography::Weight::bold);
    const QFont dateFont = Typography::font(kDateFontSize);
    const QFont badgeFont = Typography::font(kBadgeFontSize, Typography::Weight::semibold);
    const double height = Typography::lineHeight(versionFont);
    if (!painter) return height;

    const double baseline = origin.y() + Typography::ascent(versionFont);
    const QString name = QString::fromUtf8(kVersionPrefix) + qText(version.version);
    painter->setFont(versionFont);
    painter->setPen(colors.primaryText);
    Typography::drawTabular(*painter, {origin.x(), baseline}, name);
    double x = origin.x() + Typography::tabularWidth(versionFont, name) + kHeaderSpacing;

    const QString date = QFontMetricsF(dateFont).elidedText(qText(version.date), Qt::ElideRight,
                                                            std::max(origin.x() + width - x, 0.0));
    painter->setFont(dateFont);
    painter->setPen(colors.textTertiary);
    painter->drawText(QPointF(x, baseline), date);
    x += QFontMetricsF(dateFont).horizontalAdvance(date) + kHeaderSpacing;

    if (isCurrent) {
        // On the same baseline as the version number.
        const double top = baseline - Typography::ascent(badgeFont) - kBadgePaddingY;
        capsuleLabel(painter, Translations::text(kCurrentBadge), badgeFont, hexQColor(kAccentGreen),
                     theme == AppTheme::dark ? kBadgeOpacityDark : kBadgeOpacityLight, {x, top},
                     {kBadgePaddingX, kBadgePaddingY});
    }
    return height;
}

double versionDetails(QPainter* painter, const ChangelogData::Version& version, AppTheme theme, QPointF origin,
                      double width) {
    double y = origin.y();
    bool first = true;
    if (!version.summary.empty()) {
        if (painter) painter->setPen(palette(theme).secondaryText);
        y += wrappedText(painter, qText(version.summary), Typography::font(kSummaryFontSize), origin, width);
        first = false;
    }
    for (const auto& group : version.groups) {
        if (!first) y += kDetailsSpacing;
        y += groupBlock(painter, group, theme, {origin.x(), y}, width);
        first = false;
    }
    return y - origin.y();
}

void paintCard(QPainter& painter, const QRectF& rect, AppTheme theme, const QColor& outline) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), kCardCornerRadius, kCardCornerRadius);
    painter.fillPath(card, palette(theme).cardBackground);
    painter.strokePath(card, QPen(outline, 1));
    painter.restore();
}

}  // namespace joulemap::ChangelogBlocks
