#include "SparklineGeometry.h"

#include <gtest/gtest.h>

using namespace joulemap;
using SparklineGeometry::kEdgeMargin;
using SparklineGeometry::points;

namespace {

constexpr double kWidth = 70;
constexpr double kHeight = 24;
constexpr double kDrawable = kHeight - 2 * kEdgeMargin;
constexpr double kBottom = kHeight - kEdgeMargin;

// One coordinate of every point.
std::vector<double> along(double SparklineGeometry::Point::*axis, const std::vector<double>& values,
                          std::optional<double> top = std::nullopt) {
    std::vector<double> result;
    for (const auto& p : points(values, top, kWidth, kHeight)) result.push_back(p.*axis);
    return result;
}

}  // namespace

TEST(SparklineGeometry, NeedsTwoValuesAndSpreadsThemAcrossTheWidth) {
    EXPECT_TRUE(points(std::vector<double>{}, std::nullopt, kWidth, kHeight).empty());
    EXPECT_TRUE(points(std::vector<double>{7}, std::nullopt, kWidth, kHeight).empty());
    EXPECT_EQ(along(&SparklineGeometry::Point::x, {1, 2, 3, 4, 5}),
              (std::vector<double>{0, 17.5, 35, 52.5, 70}));
}

// The scale runs from zero (or a lower minimum) to the series' own maximum or a fixed top, above
// which the line leaves the frame instead of being clamped.
TEST(SparklineGeometry, ValuesAreScaledBetweenTheMargins) {
    const struct {
        std::vector<double> values;
        std::optional<double> top;
        std::vector<double> y;
    } cases[] = {
        {{1, 5}, std::nullopt, {kBottom - kDrawable / 5, kEdgeMargin}},
        {{0, 0, 0}, std::nullopt, {kBottom, kBottom, kBottom}},
        {{3, 3}, std::nullopt, {kEdgeMargin, kEdgeMargin}},
        {{40, 50, 60}, 100.0, {kBottom - 0.4 * kDrawable, kBottom - 0.5 * kDrawable, kBottom - 0.6 * kDrawable}},
        {{50, 120}, 100.0, {kBottom - 0.5 * kDrawable, kBottom - 1.2 * kDrawable}},
        {{-12, 0, 5}, std::nullopt, {kBottom, kBottom - 12.0 / 17.0 * kDrawable, kEdgeMargin}}};
    for (const auto& c : cases) {
        const auto actual = along(&SparklineGeometry::Point::y, c.values, c.top);
        ASSERT_EQ(actual.size(), c.y.size());
        for (size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], c.y[i], 1e-9) << c.values[i];
    }
}
