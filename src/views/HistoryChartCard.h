#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "HistoryStore.h"

namespace joulemap {

class HistoryChartModel;
class ThemeManager;

// The history window's chart card: input power, consumption and charge over the chosen range with
// a read-out under the pointer and a legend, or the empty state while fewer than two samples exist.
// The geometry comes from HistoryChartModel; this widget only paints it.
class HistoryChartCard : public QWidget {
    Q_OBJECT

public:
    static constexpr double kPadding = 16;
    static constexpr double kCornerRadius = 10;
    static constexpr double kChartHeight = 280;
    static constexpr double kLegendSpacing = 10;  // chart to legend
    static constexpr double kLegendItemSpacing = 16;
    static constexpr double kLegendDot = 8;
    static constexpr double kLegendDotGap = 6;
    static constexpr double kLegendFontSize = 11;
    static constexpr double kAxisFontSize = 9;
    static constexpr double kReadoutFontSize = 11;
    static constexpr double kEmptySymbolSize = 32;
    static constexpr double kEmptyTitleFontSize = 13;
    static constexpr double kEmptyHintFontSize = 11;
    static constexpr double kEmptyLineSpacing = 8;

    // Seconds since 1970, for the end of the range.
    using Clock = std::function<double()>;

    explicit HistoryChartCard(ThemeManager* theme, QWidget* parent = nullptr);

    // Records oldest first, for a range of `hours`; the range ends at the clock's time of this call.
    void setRecords(std::vector<HistoryStore::Record> records, int64_t hours);
    void setClock(Clock clock) { clock_ = std::move(clock); }

    const std::vector<HistoryStore::Record>& records() const { return records_; }
    std::optional<double> hoverX() const { return hoverX_; }
    // The chart's layout at the card's current size.
    HistoryChartModel model() const;
    // Where the chart canvas sits inside the card.
    QRectF chartRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void paintEmptyState(QPainter& painter);
    void paintChart(QPainter& painter);
    void paintLegend(QPainter& painter);

    QPointer<ThemeManager> theme_;
    Clock clock_;
    std::vector<HistoryStore::Record> records_;
    int64_t hours_ = 24;
    double endSeconds_ = 0;
    std::optional<double> hoverX_;
    // Until the first read arrives the card stays blank, rather than claiming for a moment that
    // there is no data yet.
    bool hasRecords_ = false;
};

}  // namespace joulemap
