#include "SystemInfoView.h"

#include "AppTheme.h"
#include "SymbolIcon.h"
#include "SystemInfoRows.h"
#include "SystemInfoService.h"
#include "ThemeManager.h"
#include "Typography.h"
#include "ViewColors.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace joulemap {

namespace {

constexpr std::string_view kSymbol = "info.circle";

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Lays text out in lines of width (see Typography::wrapLines); draws them from origin when given a
// painter. Returns the height of the lines.
double wrappedText(QPainter* painter, TextBoxes* boxes, const QString& text, const QFont& font,
                   QPointF origin, double width, Qt::Alignment alignment = Qt::AlignLeft) {
    const double lineHeight = Typography::lineHeight(font);
    const QStringList lines = Typography::wrapLines(font, text, std::max(width, 1.0));
    double top = origin.y();
    for (const QString& line : lines) {
        const double lineWidth = Typography::textWidth(font, line);
        const double x = alignment & Qt::AlignHCenter ? origin.x() + (width - lineWidth) / 2 : origin.x();
        const QRectF box(x, top, lineWidth, lineHeight);
        if (painter) {
            painter->setFont(font);
            Typography::drawLine(*painter, box.topLeft(), line);
        }
        if (boxes) boxes->push_back({box, line});
        top += lineHeight;
    }
    return top - origin.y();
}

}  // namespace

SystemInfoView::SystemInfoView(SystemInfoService* service, ThemeManager* themeManager, QWidget* parent)
    : QWidget(parent), service_(service), themeManager_(themeManager) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    if (service_) {
        // Rows come and go with the description, so the height may change too.
        connect(service_, &SystemInfoService::infoChanged, this, [this] {
            updateGeometry();
            update();
        });
    }
    if (themeManager_) {
        connect(themeManager_, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
    }
}

QSize SystemInfoView::sizeHint() const { return {kPreferredWidth, heightForWidth(kPreferredWidth)}; }

QSize SystemInfoView::minimumSizeHint() const {
    // Room for the label column and a few characters of value beside it.
    const int width = static_cast<int>(2 * kPaddingX + kLabelWidth + kLabelGap + 4 * kRowFontSize);
    return {width, heightForWidth(width)};
}

TextBoxes SystemInfoView::textBoxes() const {
    TextBoxes boxes;
    layOut(width(), nullptr, &boxes);
    return boxes;
}

int SystemInfoView::heightForWidth(int width) const {
    return static_cast<int>(std::ceil(layOut(width, nullptr)));
}

void SystemInfoView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ThemePalette& colors = themePalette(themeManager_);
    // The card fills the widget; the 1-pixel outline sits on pixel centres inside it.
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);
    painter.fillPath(card, colors.cardBackground);
    painter.strokePath(card, QPen(colors.cardStroke, 1));
    layOut(width(), &painter);
}

double SystemInfoView::layOut(double width, QPainter* painter, TextBoxes* boxes) const {
    const ThemePalette& colors = themePalette(themeManager_);
    // The card's two text colours are the palette's second and third text tones.
    const QColor primary = colors.secondaryText;
    const QColor secondary = colors.textTertiary;
    const SystemInfo info = service_ ? service_->info() : SystemInfo{};
    const double contentWidth = std::max(width - 2 * kPaddingX, 0.0);
    const double left = kPaddingX;
    double y = kPaddingY;

    // Header: the symbol centred against the title line.
    const QFont titleFont = Typography::font(kTitleFontSize, Typography::Weight::semibold);
    const double symbolSide = SymbolIcon::boxSide(kSymbolSize);
    const double titleX = left + symbolSide + kHeaderSpacing;
    const double titleHeight = wrappedText(nullptr, nullptr, toQString(kSystemInfoTitle.str()), titleFont, {},
                                           contentWidth - (titleX - left));
    const double headerHeight = std::max(titleHeight, symbolSide);
    if (painter) {
        SymbolIcon::draw(*painter, QRectF(left, y + (headerHeight - symbolSide) / 2, symbolSide, symbolSide),
                         kSymbol, secondary);
        painter->setPen(primary);
    }
    wrappedText(painter, boxes, toQString(kSystemInfoTitle.str()), titleFont,
                {titleX, y + (headerHeight - titleHeight) / 2}, contentWidth - (titleX - left));
    y += headerHeight + kSectionSpacing;

    if (showsLoading(info)) {
        if (painter) painter->setPen(secondary);
        y += kLoadingPadding;
        y += wrappedText(painter, boxes, toQString(kSystemInfoLoadingText.str()),
                         Typography::font(kLoadingFontSize), {left, y}, contentWidth, Qt::AlignHCenter);
        y += kLoadingPadding;
        return y + kPaddingY;
    }

    const QFont rowFont = Typography::font(kRowFontSize);
    const auto rows = systemInfoRows(info);
    // Two characters in Chinese; a longer word in another language widens the column rather than
    // breaking in the middle.
    double labelWidth = kLabelWidth;
    for (const auto& row : rows) {
        labelWidth = std::max(labelWidth, std::ceil(Typography::textWidth(rowFont, QString::fromStdString(row.first))));
    }
    const double valueX = left + labelWidth + kLabelGap;
    const double valueWidth = contentWidth - labelWidth - kLabelGap;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) y += kRowSpacing;
        if (painter) painter->setPen(secondary);
        const double labelHeight = wrappedText(painter, boxes, QString::fromStdString(rows[i].first), rowFont,
                                               {left, y}, labelWidth);
        if (painter) painter->setPen(primary);
        const QString value = QString::fromStdString(rows[i].second);
        double valueHeight = 0;
        if (rows[i].first == kNetworkRowLabel.str() && Typography::tabularWidth(rowFont, value) <= valueWidth) {
            // Live rates: every digit in a cell of its own, so the row does not jitter as they change.
            const QRectF box(valueX, y, Typography::tabularWidth(rowFont, value),
                             Typography::lineHeight(rowFont));
            if (painter) {
                painter->setFont(rowFont);
                Typography::drawLine(*painter, box.topLeft(), value, nullptr, Typography::Digits::tabular);
            }
            if (boxes) boxes->push_back({box, value});
            valueHeight = box.height();
        } else {
            valueHeight = wrappedText(painter, boxes, value, rowFont, {valueX, y}, valueWidth);
        }
        y += std::max(labelHeight, valueHeight);
    }
    return y + kPaddingY;
}

}  // namespace joulemap
