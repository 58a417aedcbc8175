#include "HistorySamplesCard.h"

#include "CardFrame.h"
#include "HistoryColors.h"
#include "ThemeManager.h"
#include "Typography.h"
#include "ViewColors.h"

#include <QFontMetricsF>
#include <QPainter>

#include <array>
#include <cmath>

namespace joulemap {

namespace {

constexpr int kColumns = 5;

QString qText(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// Left edges and widths of the five columns: fixed time and charge columns, the three power
// columns sharing the rest.
std::array<QRectF, kColumns> columns(double left, double width, double top, double height) {
    using Card = HistorySamplesCard;
    const double flexible = std::max((width - Card::kTimeColumnWidth - Card::kChargeColumnWidth -
                                      (kColumns - 1) * Card::kColumnGap) / 3,
                                     0.0);
    const std::array<double, kColumns> widths{Card::kTimeColumnWidth, flexible, flexible, flexible,
                                              Card::kChargeColumnWidth};
    std::array<QRectF, kColumns> result;
    double x = left;
    for (int i = 0; i < kColumns; ++i) {
        result[i] = QRectF(x, top, widths[i], height);
        x += widths[i] + Card::kColumnGap;
    }
    return result;
}

}  // namespace

HistorySamplesCard::HistorySamplesCard(ThemeManager* theme, QWidget* parent) : QWidget(parent), theme_(theme) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    title_ = QString::fromStdString(recentSamplesTitle(0));
    if (theme_) connect(theme_, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
}

void HistorySamplesCard::setRecords(const std::vector<HistoryStore::Record>& records) {
    title_ = QString::fromStdString(recentSamplesTitle(records.size()));
    rows_ = recentSampleRows(records);
    updateGeometry();
    update();
}

QSize HistorySamplesCard::sizeHint() const {
    const double title = Typography::lineHeight(Typography::font(kTitleFontSize, Typography::Weight::semibold));
    const double height = 2 * kPadding + title + kTitleSpacing + kRowHeight * double(rows_.size() + 1);
    return {600, static_cast<int>(std::ceil(height))};
}

QSize HistorySamplesCard::minimumSizeHint() const { return {300, sizeHint().height()}; }

void HistorySamplesCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const AppTheme resolved = theme_ ? theme_->resolvedTheme() : AppTheme::light;
    const ThemePalette& colors = joulemap::palette(resolved);
    paintCardFrame(painter, rect(), colors, kCornerRadius);

    const QColor primary = HistoryColors::primaryText(resolved);
    const QColor secondary = HistoryColors::secondaryText(resolved);
    const double left = kPadding;
    const double width = this->width() - 2 * kPadding;
    double y = kPadding;

    const QFont titleFont = Typography::font(kTitleFontSize, Typography::Weight::semibold);
    painter.setFont(titleFont);
    painter.setPen(primary);
    painter.drawText(QPointF(left, y + Typography::ascent(titleFont)), title_);
    y += Typography::lineHeight(titleFont) + kTitleSpacing;

    const QFont headerFont = Typography::font(kHeaderFontSize, Typography::Weight::medium);
    const std::array<std::string, kColumns> headers{kSampleTimeHeader.str(), kSampleInputHeader.str(),
                                                    kSampleSystemHeader.str(), kSampleNetHeader.str(),
                                                    kSampleChargeHeader.str()};
    painter.setFont(headerFont);
    painter.setPen(secondary);
    const auto headerCells = columns(left, width, y, kRowHeight);
    for (int i = 0; i < kColumns; ++i) {
        painter.drawText(headerCells[i], Qt::AlignLeft | Qt::AlignVCenter, qText(headers[i]));
    }
    y += kRowHeight;
    painter.setPen(QPen(colors.dividerColor, 0.5));
    painter.drawLine(QPointF(left, y), QPointF(left + width, y));

    const QFont rowFont = Typography::font(kRowFontSize);
    const double baselineOffset = (kRowHeight - Typography::lineHeight(rowFont)) / 2 + Typography::ascent(rowFont);
    painter.setFont(rowFont);
    for (const SampleRow& row : rows_) {
        const auto cells = columns(left, width, y, kRowHeight);
        const std::array<const std::string*, kColumns> texts{&row.time, &row.inputW, &row.systemW, &row.netW,
                                                             &row.charge};
        for (int i = 0; i < kColumns; ++i) {
            if (i == 3) {
                painter.setPen(row.netNegative ? HistoryColors::negativeNet() : HistoryColors::positiveNet());
            } else {
                painter.setPen(primary);
            }
            Typography::drawTabular(painter, {cells[i].x(), y + baselineOffset}, QString::fromStdString(*texts[i]));
        }
        y += kRowHeight;
    }
}

}  // namespace joulemap
