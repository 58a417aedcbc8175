#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "HistoryStore.h"

namespace joulemap {

// The geometry of the history chart for one size: the plot area, the scales, the grid and axis
// labels, the three series and what the pointer hovers. Coordinates are the chart canvas's, in
// device-independent pixels with the origin top left. The records are viewed, not copied: the
// caller keeps them alive and unchanged while the model is in use.
class HistoryChartModel {
public:
    static constexpr double kPlotLeft = 36;
    static constexpr double kPlotRightInset = 32;
    static constexpr double kPlotTop = 12;
    static constexpr double kPlotBottomInset = 28;
    static constexpr double kMinTopWatts = 10;
    static constexpr std::size_t kMinRecords = 2;
    // Ranges from this many hours up are labelled with dates rather than times.
    static constexpr int64_t kDateLabelHours = 25;
    static constexpr double kAxisLabelGap = 4;  // between the plot and the labels beside and below it
    // A sample is written every 30 s; a longer silence means the machine was asleep or off, and
    // the line stops there instead of inventing figures across the gap.
    static constexpr int64_t kMaxSampleGapSeconds = 300;

    struct Point {
        double x = 0;
        double y = 0;
        bool operator==(const Point&) const = default;
    };
    // A series is drawn as one polyline per stretch without a gap.
    using Series = std::vector<std::vector<Point>>;

    struct Rect {
        double x = 0, y = 0, width = 0, height = 0;
        double right() const { return x + width; }
        double bottom() const { return y + height; }
        bool operator==(const Rect&) const = default;
    };

    struct GridLine {
        double y = 0;
        std::string powerLabel;    // "10W", drawn right-aligned left of the plot
        std::string percentLabel;  // "100%", drawn left-aligned right of the plot
    };

    enum class Anchor { leading, center, trailing };
    struct TimeLabel {
        double x = 0;
        std::string text;
        Anchor anchor = Anchor::center;
    };

    // `records` oldest first, as the store reads them; the range ends at `nowSeconds`.
    HistoryChartModel(std::span<const HistoryStore::Record> records, int64_t hours, double nowSeconds,
                      double width, double height);

    // Fewer than two samples: the chart shows its empty state instead.
    bool isEmpty() const { return records_.size() < kMinRecords; }

    double topWatts() const { return topWatts_; }
    const Rect& plot() const { return plot_; }
    double spanSeconds() const { return span_; }
    double startSeconds() const { return t0_; }

    // Five lines from the top (full scale) down to zero.
    std::vector<GridLine> gridLines() const;
    // Five labels from the start of the range to now.
    std::vector<TimeLabel> timeLabels() const;

    // At most a few points per pixel column, whatever the number of records.
    const Series& inputSeries() const { return input_; }
    const Series& systemSeries() const { return system_; }
    const Series& chargeSeries() const { return charge_; }

    // The index of the record nearest in time to the pointer at `hoverX` (the earlier of two
    // equally near), or none when the pointer is outside the plot or the chart is empty.
    std::optional<std::size_t> recordAt(double hoverX) const;
    // "12.3W  85%": the input power and the whole charge of a record.
    static std::string readout(const HistoryStore::Record& record);
    // The read-out's bubble for text of the given size: just right of the pointer, kept inside
    // the plot horizontally, near its top.
    Rect bubble(double hoverX, double textWidth, double textHeight) const;

    static constexpr double kBubbleOffset = 8;
    static constexpr double kBubblePaddingX = 6;
    static constexpr double kBubblePaddingY = 2;
    static constexpr double kBubbleTopInset = 4;

private:
    double xFor(double ts) const;
    double powerY(double watts) const;
    double chargeY(double pct) const;
    void buildSeries();

    std::span<const HistoryStore::Record> records_;
    int64_t hours_ = 0;
    double span_ = 0;
    double t0_ = 0;
    double topWatts_ = kMinTopWatts;
    Rect plot_;
    Series input_;
    Series system_;
    Series charge_;
};

}  // namespace joulemap
