#include "SparklineGeometry.h"

#include <gtest/gtest.h>

#include <vector>

using namespace joulemap;
using SparklineGeometry::points;

namespace {

constexpr double kWidth = 70;
constexpr double kHeight = 24;
constexpr double kDrawable = kHeight - 2 * SparklineGeometry::kEdgeMargin;

}  // namespace

TEST(SparklineGeometry, NeedsTwoValuesAndSpreadsThemAcrossTheWidth) {
    EXPECT_TRUE(points(std::vector<double>{}, std::nullopt, kWidth, kHeight).empty());
    EXPECT_TRUE(points(std::vector<double>{7}, std::nullopt, kWidth, kHeight).empty());

    const auto line = points(std::vector<double>{1, 2, 3, 4, 5}, std::nullopt, kWidth, kHeight);
    ASSERT_EQ(line.size(), 5u);
    EXPECT_DOUBLE_EQ(line.front().x, 0);
    EXPECT_DOUBLE_EQ(line[2].x, kWidth / 2);
    EXPECT_DOUBLE_EQ(line.back().x, kWidth);
    // Own maximum on top, two points below the upper edge; scale starts at zero, not at the minimum.
    EXPECT_DOUBLE_EQ(line.back().y, SparklineGeometry::kEdgeMargin);
    EXPECT_DOUBLE_EQ(line.front().y, kHeight - 2 - kDrawable / 5);
}

TEST(SparklineGeometry, AllZerosRunAlongTheBottomMargin) {
    for (const auto& p : points(std::vector<double>{0, 0, 0}, std::nullopt, kWidth, kHeight)) {
        EXPECT_DOUBLE_EQ(p.y, kHeight - SparklineGeometry::kEdgeMargin);
    }
    // A constant non-zero series sits on top: its maximum is the top of the scale.
    for (const auto& p : points(std::vector<double>{3, 3}, std::nullopt, kWidth, kHeight)) {
        EXPECT_DOUBLE_EQ(p.y, SparklineGeometry::kEdgeMargin);
    }
}

TEST(SparklineGeometry, FixedTopKeepsABatterySeriesInItsPlace) {
    const auto line = points(std::vector<double>{40, 50, 60}, 100.0, kWidth, kHeight);
    ASSERT_EQ(line.size(), 3u);
    EXPECT_DOUBLE_EQ(line[0].y, kHeight - 2 - 0.4 * kDrawable);
    EXPECT_DOUBLE_EQ(line[2].y, kHeight - 2 - 0.6 * kDrawable);
    for (const auto& p : line) EXPECT_GT(p.y, kHeight / 3);  // lower two thirds

    // Above the fixed top the line leaves the frame instead of being clamped.
    const auto over = points(std::vector<double>{50, 120}, 100.0, kWidth, kHeight);
    EXPECT_LT(over[1].y, 0);
}

TEST(SparklineGeometry, NegativeSeriesStretchesDownToItsMinimum) {
    const auto line = points(std::vector<double>{-12, 0, 5}, std::nullopt, kWidth, kHeight);
    ASSERT_EQ(line.size(), 3u);
    EXPECT_DOUBLE_EQ(line[0].y, kHeight - SparklineGeometry::kEdgeMargin);  // the minimum on the bottom
    EXPECT_DOUBLE_EQ(line[2].y, SparklineGeometry::kEdgeMargin);            // the maximum on top
    // Zero lies 12/17 of the drawable height above the bottom margin.
    EXPECT_DOUBLE_EQ(line[1].y, kHeight - 2 - 12.0 / 17.0 * kDrawable);
}
