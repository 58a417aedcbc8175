#include <gtest/gtest.h>

#include <algorithm>

#include "HistoryChartModel.h"
#include "TestSupport.h"

namespace joulemap {
namespace {

using Record = HistoryStore::Record;
using Model = HistoryChartModel;

// 2026-12-07 12:00:00 UTC.
constexpr double kNow = 1'796'644'800;
constexpr double kWidth = 468;   // a 400-wide plot
constexpr double kHeight = 240;  // a 200-high plot

Record sample(double ts, double inputW, double systemW = 0, double pct = 50) {
    return {ts, static_cast<int64_t>(ts), inputW, systemW, pct, 0};
}

class HistoryChartModelTest : public ::testing::Test {
protected:
    const ScopedEnv tz{"TZ", "UTC"};
};

TEST_F(HistoryChartModelTest, FewerThanTwoSamplesIsTheEmptyState) {
    const std::vector<Record> one{sample(kNow - 60, 5)};
    const Model single(one, 24, kNow, kWidth, kHeight);
    EXPECT_TRUE(single.isEmpty());
    EXPECT_TRUE(single.inputSeries().empty());
    EXPECT_FALSE(single.recordAt(200));
    EXPECT_TRUE(Model({}, 24, kNow, kWidth, kHeight).isEmpty());
}

TEST_F(HistoryChartModelTest, PowerScaleStartsAtTenWattsAndGrowsWithTheLargestFigure) {
    const std::vector<Record> low{sample(kNow - 600, 3, 2), sample(kNow - 300, 4, 9)};
    const Model small(low, 24, kNow, kWidth, kHeight);
    EXPECT_EQ(small.plot(), (Model::Rect{36, 12, 400, 200}));
    const auto lines = small.gridLines();
    ASSERT_EQ(lines.size(), 5u);
    const std::string power[] = {"10W", "8W", "5W", "2W", "0W"};
    const std::string percent[] = {"100%", "75%", "50%", "25%", "0%"};
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_DOUBLE_EQ(lines[i].y, 12 + 50.0 * double(i));
        EXPECT_EQ(lines[i].powerLabel, power[i]);
        EXPECT_EQ(lines[i].percentLabel, percent[i]);
    }
    // Consumption above the input still fits under the top.
    const std::vector<Record> high{sample(kNow - 600, 40, 10), sample(kNow - 300, 20, 48)};
    const Model big(high, 24, kNow, kWidth, kHeight);
    EXPECT_EQ(big.topWatts(), 48);
    EXPECT_EQ(big.gridLines()[1].powerLabel, "36W");
    // A figure only a hand-edited database holds is printed in full, never as stray buffer bytes.
    const std::vector<Record> edited{sample(kNow - 600, 1e300, 2), sample(kNow - 300, 4, 9)};
    const Model absurd(edited, 24, kNow, kWidth, kHeight);
    const std::string top = absurd.gridLines()[0].powerLabel;
    EXPECT_EQ(top.find_first_not_of("0123456789"), 301u) << top;
}

TEST_F(HistoryChartModelTest, TimeAxisShowsClockTimesForADayAndDatesForAWeek) {
    const std::vector<Record> records{sample(kNow - 600, 3), sample(kNow - 300, 4)};
    struct Case {
        int64_t hours;
        std::vector<std::string> texts;
    } cases[] = {{24, {"12:00", "18:00", "00:00", "06:00", "12:00"}},
                 {168, {"11/30", "12/02", "12/04", "12/05", "12/07"}}};
    for (const auto& c : cases) {
        const auto labels = Model(records, c.hours, kNow, kWidth, kHeight).timeLabels();
        ASSERT_EQ(labels.size(), 5u);
        for (size_t i = 0; i < labels.size(); ++i) {
            EXPECT_EQ(labels[i].text, c.texts[i]) << c.hours << "h label " << i;
            EXPECT_DOUBLE_EQ(labels[i].x, 36 + 100.0 * double(i));
        }
        EXPECT_EQ(labels.front().anchor, Model::Anchor::leading);
        EXPECT_EQ(labels[2].anchor, Model::Anchor::center);
        EXPECT_EQ(labels.back().anchor, Model::Anchor::trailing);
    }
}

TEST_F(HistoryChartModelTest, SeriesArePlacedByTimeAndBreakAcrossSilence) {
    const double half = kNow - 12 * 3600;
    const std::vector<Record> records{sample(half, 5, 2.5, 100), sample(half + 30, 5, 2.5, 100),
                                      sample(kNow - 60, 10, 0, 0)};
    const Model model(records, 24, kNow, kWidth, kHeight);
    ASSERT_EQ(model.inputSeries().size(), 2u);
    EXPECT_EQ(model.inputSeries()[0].front(), (Model::Point{236, 112}));
    EXPECT_EQ(model.systemSeries()[0].front().y, 162);
    EXPECT_EQ(model.chargeSeries()[0].front().y, 12);
    EXPECT_EQ(model.chargeSeries()[1].front().y, 212);
    EXPECT_EQ(model.inputSeries()[1].front().y, 12);
}

TEST_F(HistoryChartModelTest, AWeekOfSamplesIsReducedToAFewPointsPerPixelColumnKeepingPeaks) {
    std::vector<Record> week;
    const int64_t count = 7 * 24 * 120;
    for (int64_t i = 0; i < count; ++i) {
        week.push_back(sample(kNow - 30.0 * double(count - i), i == count / 2 ? 60 : 5 + double(i % 7)));
    }
    const Model model(week, 168, kNow, kWidth, kHeight);
    ASSERT_EQ(model.inputSeries().size(), 1u);
    const auto& line = model.inputSeries()[0];
    EXPECT_LE(line.size(), 4 * 401u);
    EXPECT_GE(line.size(), 400u);
    EXPECT_TRUE(std::is_sorted(line.begin(), line.end(), [](auto& a, auto& b) { return a.x < b.x; }));
    const auto peak = std::min_element(line.begin(), line.end(), [](auto& a, auto& b) { return a.y < b.y; });
    EXPECT_DOUBLE_EQ(peak->y, 12);
}

TEST_F(HistoryChartModelTest, HoverPicksTheNearestSampleInsideThePlotOnly) {
    // Samples at x = 136, 236 and 336 of a 24-hour plot from x 36 to 436.
    const std::vector<Record> records{sample(kNow - 18 * 3600, 1.25, 0, 40.9), sample(kNow - 12 * 3600, 2),
                                      sample(kNow - 6 * 3600, 3)};
    const Model model(records, 24, kNow, kWidth, kHeight);
    const std::pair<double, std::optional<size_t>> cases[] = {
        {35, std::nullopt}, {437, std::nullopt}, {36, 0}, {186, 0}, {187, 1}, {300, 2}, {436, 2}};
    for (const auto& [x, expected] : cases) EXPECT_EQ(model.recordAt(x), expected) << x;
    EXPECT_EQ(Model::readout(records[0]), "1.2W  40%");

    // The bubble follows the pointer but stays within the plot.
    EXPECT_EQ(model.bubble(100, 50, 14), (Model::Rect{108, 16, 62, 18}));
    EXPECT_EQ(model.bubble(430, 50, 14).x, 436 - 6 - 50);
    EXPECT_EQ(model.bubble(430, 900, 14).x, 36);
}

}  // namespace
}  // namespace joulemap
