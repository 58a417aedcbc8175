#include "NumberFormat.h"

#include <gtest/gtest.h>

using namespace joulemap;

TEST(NumberFormatTest, Round1RoundsHalvesAwayFromZero) {
    // The last two are rounded as computed in binary: 0.35 × 6 is just below 2.1, ×10 rounds up to 21.
    const std::pair<double, double> cases[] = {{0.25, 0.3}, {1.25, 1.3},    {-0.25, -0.3},   {0.05, 0.1},
                                               {0.04, 0.0}, {12.345, 12.3}, {0.35 * 6, 2.1}, {0.45 * 5, 2.3}};
    for (const auto& [value, rounded] : cases) EXPECT_DOUBLE_EQ(round1(value), rounded) << value;
}

TEST(NumberFormatTest, NumIsShortestRoundTripWithFractionalDigit) {
    // Round-trips unlike a fixed precision; plain digits in the everyday range even where an exponent
    // would be shorter.
    const std::pair<double, const char*> cases[] = {{4.0, "4.0"},
                                                    {12.3, "12.3"},
                                                    {0.1, "0.1"},
                                                    {100.0, "100.0"},
                                                    {0.0, "0.0"},
                                                    {-0.5, "-0.5"},
                                                    {round1(0.35 * 6), "2.1"},
                                                    {0.1 + 0.2, "0.30000000000000004"},
                                                    {1e6, "1000000.0"},
                                                    {1e16, "1e+16"},
                                                    {1.5e-5, "1.5e-05"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(num(value), text) << value;
}

TEST(NumberFormatTest, ViewFormats) {
    EXPECT_EQ(formatWatts(12.345, false), "12.3W");
    EXPECT_EQ(formatWatts(12.345, true), "12.3 W");
    EXPECT_EQ(formatSignedWatts(2.46), "+2.5");
    EXPECT_EQ(formatSignedWatts(0), "+0.0");
    EXPECT_EQ(formatSignedWatts(-12.34), "\u221212.3");
    EXPECT_EQ(formatSignedWatts(-0.04), "\u22120.0");  // a minus sign, not a hyphen and not "-0.0"
    EXPECT_EQ(formatPercent(85), "85%");
    EXPECT_EQ(formatCapacityMah(4382.4), "4382 mAh");
}
