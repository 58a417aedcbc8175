#include "HistoryChartCard.h"

#include "CardFrame.h"
#include "HistoryChartModel.h"
#include "HistoryColors.h"
#include "SymbolIcon.h"
#include "ThemeManager.h"
#include "Translations.h"
#include "Typography.h"
#include "ViewColors.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <chrono>
#include <cmath>

namespace joulemap {

namespace {

constexpr std::string_view kEmptySymbol = "chart.xyaxis.line";
constexpr SourceText kEmptyTitle = JM_TR_NOOP("HistoryChartCard", "数据积累中，请稍后再看");
constexpr SourceText kEmptyHint = JM_TR_NOOP("HistoryChartCard", "每 30 秒记录一次，需要至少 2 条数据");

struct LegendEntry {
    QColor (*color)();
    SourceText label;
};
const std::array<LegendEntry, 3> kLegend{{
    {HistoryColors::input, JM_TR_NOOP("HistoryChartCard", "入口功率")},
    {HistoryColors::system, JM_TR_NOOP("HistoryChartCard", "系统消耗")},
    {HistoryColors::charge, JM_TR_NOOP("HistoryChartCard", "电量%")},
}};

constexpr double kPowerLineWidth = 2;
constexpr double kChargeLineWidth = 1.5;
constexpr double kChargeDashOn = 4;
constexpr double kChargeDashOff = 3;
constexpr double kGridLineWidth = 0.5;
constexpr double kHoverLineWidth = 1;
constexpr double kBubbleRadius = 5;
// Labels sit with their top this far above the line they name, which centres a size-9 label on it.
constexpr double kAxisLabelRise = 6;

double systemSeconds() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

QString qText(const std::string& text) { return QString::fromStdString(text); }

// Segments of a series: a stretch of one sample becomes a dot-length stub so it still shows.
QVector<QLineF> segments(const HistoryChartModel::Series& series) {
    QVector<QLineF> lines;
    for (const auto& stretch : series) {
        if (stretch.size() == 1) {
            const QPointF at(stretch.front().x, stretch.front().y);
            lines << QLineF(at, at + QPointF(0.5, 0));
        }
        for (std::size_t i = 1; i < stretch.size(); ++i) {
            lines << QLineF(stretch[i - 1].x, stretch[i - 1].y, stretch[i].x, stretch[i].y);
        }
    }
    return lines;
}

// The "on" pieces of a dash pattern walked along the segments, the phase carried from one segment
// to the next so the dashes run evenly along the whole line.
QVector<QLineF> dashed(const QVector<QLineF>& lines, double on, double off) {
    QVector<QLineF> pieces;
    bool drawing = true;
    double remaining = on;
    for (const QLineF& line : lines) {
        const double length = line.length();
        double position = 0;
        while (length - position > remaining) {
            const QPointF start = line.pointAt(position / length);
            position += remaining;
            if (drawing) pieces << QLineF(start, line.pointAt(position / length));
            drawing = !drawing;
            remaining = drawing ? on : off;
        }
        if (drawing && length > position) pieces << QLineF(line.pointAt(position / length), line.p2());
        remaining -= length - position;
    }
    return pieces;
}

// Drawn as separate segments rather than one polyline: stroking a week's dense zig-zag as a single
// path makes the rasteriser handle one huge self-overlapping outline, which costs hundreds of
// milliseconds, while the same segments one by one cost a few.
void drawSegments(QPainter& painter, const QVector<QLineF>& lines, const QPen& pen) {
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawLines(lines);
}

}  // namespace

HistoryChartCard::HistoryChartCard(ThemeManager* theme, QWidget* parent)
    : QWidget(parent), theme_(theme), clock_(systemSeconds) {
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    if (theme_) connect(theme_, &ThemeManager::themeChanged, this, qOverload<>(&QWidget::update));
}

void HistoryChartCard::setRecords(std::vector<HistoryStore::Record> records, int64_t hours) {
    records_ = std::move(records);
    hours_ = hours;
    hasRecords_ = true;
    endSeconds_ = clock_();
    update();
}

HistoryChartModel HistoryChartCard::model() const {
    const QRectF chart = chartRect();
    return HistoryChartModel(records_, hours_, endSeconds_, chart.width(), chart.height());
}

QRectF HistoryChartCard::chartRect() const {
    return {kPadding, kPadding, std::max(width() - 2 * kPadding, 0.0), kChartHeight};
}

QSize HistoryChartCard::sizeHint() const {
    const double legend = Typography::lineHeight(Typography::font(kLegendFontSize));
    return {600, static_cast<int>(std::ceil(2 * kPadding + kChartHeight + kLegendSpacing + legend))};
}

QSize HistoryChartCard::minimumSizeHint() const { return {300, sizeHint().height()}; }

void HistoryChartCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const AppTheme resolved = theme_ ? theme_->resolvedTheme() : AppTheme::light;
    paintCardFrame(painter, rect(), joulemap::palette(resolved), kCornerRadius);
    if (!hasRecords_) return;
    if (records_.size() < HistoryChartModel::kMinRecords) {
        paintEmptyState(painter);
        return;
    }
    paintChart(painter);
    paintLegend(painter);
}

void HistoryChartCard::paintEmptyState(QPainter& painter) {
    const AppTheme resolved = theme_ ? theme_->resolvedTheme() : AppTheme::light;
    const QColor secondary = HistoryColors::secondaryText(resolved);
    const QFont title = Typography::font(kEmptyTitleFontSize);
    const QFont hint = Typography::font(kEmptyHintFontSize);
    const double symbol = SymbolIcon::boxSide(kEmptySymbolSize);
    const double titleHeight = Typography::lineHeight(title);
    const double hintHeight = Typography::lineHeight(hint);
    const double total = symbol + 2 * kEmptyLineSpacing + titleHeight + hintHeight;
    double y = (height() - total) / 2;
    SymbolIcon::draw(painter, QRectF((width() - symbol) / 2, y, symbol, symbol), kEmptySymbol, secondary);
    y += symbol + kEmptyLineSpacing;
    painter.setPen(secondary);
    painter.setFont(title);
    painter.drawText(QRectF(0, y, width(), titleHeight), Qt::AlignHCenter | Qt::AlignTop, Translations::text(kEmptyTitle));
    y += titleHeight + kEmptyLineSpacing;
    painter.setFont(hint);
    painter.drawText(QRectF(0, y, width(), hintHeight), Qt::AlignHCenter | Qt::AlignTop, Translations::text(kEmptyHint));
}

void HistoryChartCard::paintChart(QPainter& painter) {
    const AppTheme resolved = theme_ ? theme_->resolvedTheme() : AppTheme::light;
    const ThemePalette& colors = joulemap::palette(resolved);
    const QColor secondary = HistoryColors::secondaryText(resolved);
    const QRectF chart = chartRect();
    const HistoryChartModel layout = model();
    const auto& plot = layout.plot();

    painter.save();
    painter.translate(chart.topLeft());

    // Grid and the two value axes.
    const QFont axisFont = Typography::font(kAxisFontSize);
    const QFontMetricsF axisMetrics(axisFont);
    const double labelHeight = Typography::lineHeight(axisFont);
    painter.setFont(axisFont);
    for (const auto& line : layout.gridLines()) {
        painter.setPen(QPen(colors.dividerColor, kGridLineWidth));
        painter.drawLine(QPointF(plot.x, line.y), QPointF(plot.right(), line.y));
        painter.setPen(secondary);
        const double top = line.y - kAxisLabelRise;
        painter.drawText(QRectF(0, top, plot.x - HistoryChartModel::kAxisLabelGap, labelHeight),
                         Qt::AlignRight | Qt::AlignTop, qText(line.powerLabel));
        painter.drawText(QRectF(plot.right() + HistoryChartModel::kAxisLabelGap, top, chart.width(), labelHeight),
                         Qt::AlignLeft | Qt::AlignTop, qText(line.percentLabel));
    }
    const double timeTop = plot.bottom() + kAxisLabelRise;
    for (const auto& label : layout.timeLabels()) {
        const QString text = qText(label.text);
        const double width = axisMetrics.horizontalAdvance(text);
        double left = label.x - width / 2;
        if (label.anchor == HistoryChartModel::Anchor::leading) left = label.x;
        if (label.anchor == HistoryChartModel::Anchor::trailing) left = label.x - width;
        painter.drawText(QPointF(left, timeTop + axisMetrics.ascent()), text);
    }

    // Series, clipped to the plot so a figure off the scale cannot spill over the labels.
    painter.save();
    painter.setClipRect(QRectF(plot.x, plot.y, plot.width, plot.height).adjusted(-1, -1, 1, 1));
    drawSegments(painter, dashed(segments(layout.chargeSeries()), kChargeDashOn, kChargeDashOff),
                 QPen(HistoryColors::charge(), kChargeLineWidth, Qt::SolidLine, Qt::FlatCap));
    drawSegments(painter, segments(layout.systemSeries()), QPen(HistoryColors::system(), kPowerLineWidth));
    drawSegments(painter, segments(layout.inputSeries()), QPen(HistoryColors::input(), kPowerLineWidth));
    painter.restore();

    // Read-out under the pointer.
    if (hoverX_) {
        if (const auto index = layout.recordAt(*hoverX_)) {
            painter.setPen(QPen(secondary, kHoverLineWidth));
            painter.drawLine(QPointF(*hoverX_, plot.y), QPointF(*hoverX_, plot.bottom()));
            const QFont readoutFont = Typography::font(kReadoutFontSize, Typography::Weight::medium);
            const QString text = qText(HistoryChartModel::readout(records_[*index]));
            const double textWidth = Typography::tabularWidth(readoutFont, text);
            const auto bubble = layout.bubble(*hoverX_, textWidth, Typography::lineHeight(readoutFont));
            painter.setPen(Qt::NoPen);
            painter.setBrush(colors.highlightBackground);
            painter.drawRoundedRect(QRectF(bubble.x, bubble.y, bubble.width, bubble.height), kBubbleRadius, kBubbleRadius);
            painter.setPen(HistoryColors::primaryText(resolved));
            painter.setFont(readoutFont);
            Typography::drawTabular(painter,
                                    {bubble.x + HistoryChartModel::kBubblePaddingX,
                                     bubble.y + HistoryChartModel::kBubblePaddingY + Typography::ascent(readoutFont)},
                                    text);
        }
    }
    painter.restore();
}

void HistoryChartCard::paintLegend(QPainter& painter) {
    const AppTheme resolved = theme_ ? theme_->resolvedTheme() : AppTheme::light;
    const QFont font = Typography::font(kLegendFontSize);
    const QFontMetricsF metrics(font);
    const double lineHeight = Typography::lineHeight(font);
    const double top = chartRect().bottom() + kLegendSpacing;
    double x = kPadding;
    painter.setFont(font);
    for (const auto& entry : kLegend) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(entry.color());
        painter.drawEllipse(QRectF(x, top + (lineHeight - kLegendDot) / 2, kLegendDot, kLegendDot));
        x += kLegendDot + kLegendDotGap;
        const QString label = Translations::text(entry.label);
        painter.setPen(HistoryColors::secondaryText(resolved));
        painter.drawText(QPointF(x, top + metrics.ascent()), label);
        x += metrics.horizontalAdvance(label) + kLegendItemSpacing;
    }
}

void HistoryChartCard::mouseMoveEvent(QMouseEvent* event) {
    const QRectF chart = chartRect();
    if (chart.contains(event->position())) {
        hoverX_ = event->position().x() - chart.x();
    } else {
        hoverX_.reset();
    }
    update();
}

void HistoryChartCard::leaveEvent(QEvent*) {
    hoverX_.reset();
    update();
}

}  // namespace joulemap
