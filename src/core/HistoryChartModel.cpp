#include "HistoryChartModel.h"

#include "HistoryRows.h"
#include "LocalTime.h"
#include "NumberFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace joulemap {

namespace {

constexpr int kGridSteps = 4;  // five lines: 0, ¼, ½, ¾ and the full scale
constexpr double kSecondsPerHour = 3600;
constexpr double kFullChargePct = 100;
constexpr const char* kTimePattern = "%H:%M";
constexpr const char* kDatePattern = "%m/%d";

std::string wholeWatts(double watts) {
    char buffer[320];  // the largest double has 309 integer digits
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, watts, std::chars_format::fixed, 0);
    if (result.ec != std::errc{}) return {};  // never show what the buffer held before
    return std::string(buffer, result.ptr) + "W";
}

// Gathers the points of one series and keeps, per pixel column, only the first, the lowest, the
// highest and the last: a line through those looks the same as one through every point, and a
// week of samples costs no more to draw than a few hundred.
class ColumnDecimator {
public:
    explicit ColumnDecimator(HistoryChartModel::Series& out) : out_(out) {}

    void breakLine() {
        flush();
        open_ = false;
    }

    void add(HistoryChartModel::Point point) {
        const double column = std::floor(point.x);
        if (!open_) {
            out_.emplace_back();
            open_ = true;
        } else if (hasBucket_ && column == column_) {
            last_ = {point, sequence_++};
            if (point.y < low_.point.y) low_ = last_;
            if (point.y > high_.point.y) high_ = last_;
            return;
        }
        flush();
        column_ = column;
        first_ = last_ = low_ = high_ = {point, sequence_++};
        hasBucket_ = true;
    }

    void finish() { breakLine(); }

private:
    struct Entry {
        HistoryChartModel::Point point;
        std::size_t sequence = 0;
    };

    void flush() {
        if (!hasBucket_) return;
        std::array<Entry, 4> entries{first_, low_, high_, last_};
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.sequence < b.sequence; });
        std::size_t previous = SIZE_MAX;
        for (const Entry& entry : entries) {
            if (entry.sequence == previous) continue;
            out_.back().push_back(entry.point);
            previous = entry.sequence;
        }
        hasBucket_ = false;
    }

    HistoryChartModel::Series& out_;
    bool open_ = false;
    bool hasBucket_ = false;
    double column_ = 0;
    std::size_t sequence_ = 0;
    Entry first_, last_, low_, high_;
};

}  // namespace

HistoryChartModel::HistoryChartModel(std::span<const HistoryStore::Record> records, int64_t hours,
                                     double nowSeconds, double width, double height)
    : records_(records),
      hours_(hours),
      span_(std::max<double>(static_cast<double>(hours), 1.0) * kSecondsPerHour),
      t0_(nowSeconds - span_) {
    plot_ = {kPlotLeft, kPlotTop, std::max(width - kPlotLeft - kPlotRightInset, 0.0),
             std::max(height - kPlotTop - kPlotBottomInset, 0.0)};
    // Consumption is drawn on the same scale, so it must fit under the top as well.
    for (const auto& record : records_) {
        topWatts_ = std::max({topWatts_, record.inputW, record.systemW});
    }
    if (!isEmpty()) buildSeries();
}

// Not clamped: a sample just outside the range lies beyond the plot's edge, where the view's clip
// hides it, instead of piling up on the edge as a false vertical stroke.
double HistoryChartModel::xFor(double ts) const { return plot_.x + (ts - t0_) / span_ * plot_.width; }

double HistoryChartModel::powerY(double watts) const {
    return plot_.bottom() - std::clamp(watts / topWatts_, 0.0, 1.0) * plot_.height;
}

double HistoryChartModel::chargeY(double pct) const {
    return plot_.bottom() - std::clamp(pct / kFullChargePct, 0.0, 1.0) * plot_.height;
}

void HistoryChartModel::buildSeries() {
    ColumnDecimator input(input_), system(system_), charge(charge_);
    const HistoryStore::Record* previous = nullptr;
    for (const auto& record : records_) {
        if (previous && record.ts - previous->ts > kMaxSampleGapSeconds) {
            for (ColumnDecimator* series : {&input, &system, &charge}) series->breakLine();
        }
        const double x = xFor(static_cast<double>(record.ts));
        input.add({x, powerY(record.inputW)});
        system.add({x, powerY(record.systemW)});
        charge.add({x, chargeY(record.batteryPct)});
        previous = &record;
    }
    for (ColumnDecimator* series : {&input, &system, &charge}) series->finish();
}

std::vector<HistoryChartModel::GridLine> HistoryChartModel::gridLines() const {
    std::vector<GridLine> lines;
    for (int i = 0; i <= kGridSteps; ++i) {
        const double fraction = static_cast<double>(i) / kGridSteps;
        const int remaining = kGridSteps - i;
        lines.push_back({plot_.y + fraction * plot_.height,
                         wholeWatts(remaining * topWatts_ / kGridSteps),
                         formatPercent(static_cast<int64_t>(kFullChargePct) * remaining / kGridSteps)});
    }
    return lines;
}

std::vector<HistoryChartModel::TimeLabel> HistoryChartModel::timeLabels() const {
    const char* pattern = hours_ >= kDateLabelHours ? kDatePattern : kTimePattern;
    std::vector<TimeLabel> labels;
    for (int i = 0; i <= kGridSteps; ++i) {
        const double fraction = static_cast<double>(i) / kGridSteps;
        const Anchor anchor = i == 0 ? Anchor::leading : i == kGridSteps ? Anchor::trailing : Anchor::center;
        labels.push_back({plot_.x + fraction * plot_.width, formatLocalTime(t0_ + fraction * span_, pattern), anchor});
    }
    return labels;
}

std::optional<std::size_t> HistoryChartModel::recordAt(double hoverX) const {
    if (isEmpty() || plot_.width <= 0 || hoverX < plot_.x || hoverX > plot_.right()) return std::nullopt;
    const double t = t0_ + (hoverX - plot_.x) / plot_.width * span_;
    const auto after = std::lower_bound(records_.begin(), records_.end(), t,
                                        [](const HistoryStore::Record& r, double time) { return double(r.ts) < time; });
    if (after == records_.begin()) return 0;
    if (after == records_.end()) return records_.size() - 1;
    const auto before = after - 1;
    const bool earlierIsNearer = t - double(before->ts) <= double(after->ts) - t;
    return static_cast<std::size_t>((earlierIsNearer ? before : after) - records_.begin());
}

std::string HistoryChartModel::readout(const HistoryStore::Record& record) {
    return formatWatts(record.inputW, false) + "  " + formatPercent(wholePercent(record.batteryPct));
}

HistoryChartModel::Rect HistoryChartModel::bubble(double hoverX, double textWidth, double textHeight) const {
    const double width = textWidth + 2 * kBubblePaddingX;
    // The right-edge rule first, so that on a plot too narrow for both the left edge wins.
    double x = std::min(hoverX + kBubbleOffset, plot_.right() - kBubblePaddingX - textWidth);
    x = std::max(x, plot_.x);
    return {x, plot_.y + kBubbleTopInset, width, textHeight + 2 * kBubblePaddingY};
}

}  // namespace joulemap
