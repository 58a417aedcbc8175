#include "Accents.h"
#include "HexColor.h"

#include <gtest/gtest.h>

using joulemap::hexColor;
using joulemap::Rgba;

namespace {

void expectColor(const Rgba& actual, double r, double g, double b, double a) {
    EXPECT_NEAR(actual.r, r, 1e-12);
    EXPECT_NEAR(actual.g, g, 1e-12);
    EXPECT_NEAR(actual.b, b, 1e-12);
    EXPECT_NEAR(actual.a, a, 1e-12);
}

}  // namespace

TEST(HexColor, SixAndEightDigitsWithOrWithoutHashes) {
    expectColor(hexColor(joulemap::kAccentGreen), 0x30 / 255.0, 0xd1 / 255.0, 0x58 / 255.0, 1);
    expectColor(hexColor("#FF453A"), 1, 0x45 / 255.0, 0x3a / 255.0, 1);
    expectColor(hexColor("#30d15880"), 0x30 / 255.0, 0xd1 / 255.0, 0x58 / 255.0, 128 / 255.0);
    // Hashes are stripped from both ends, however many there are.
    EXPECT_EQ(hexColor("30d158"), hexColor("#30d158"));
    EXPECT_EQ(hexColor("##30d158#"), hexColor("#30d158"));
    EXPECT_EQ(hexColor("#0a84ff00#"), (Rgba{0x0a / 255.0, 0x84 / 255.0, 1, 0}));
}

TEST(HexColor, BadLengthIsGreyAndUnparsableTextIsZero) {
    const Rgba grey{0.5, 0.5, 0.5, 1};
    EXPECT_EQ(hexColor("#fff"), grey);
    EXPECT_EQ(hexColor(""), grey);
    EXPECT_EQ(hexColor("###"), grey);
    EXPECT_EQ(hexColor("#30d1580"), grey);
    EXPECT_EQ(hexColor("#30d15880ff"), grey);
    // Right length, not hexadecimal: the value 0, so black (and transparent with 8 characters).
    EXPECT_EQ(hexColor("#zzzzzz"), (Rgba{0, 0, 0, 1}));
    EXPECT_EQ(hexColor("#30d15g"), (Rgba{0, 0, 0, 1}));
    EXPECT_EQ(hexColor("#30d158zz"), (Rgba{0, 0, 0, 0}));
    // Six characters, one of them two bytes long.
    EXPECT_EQ(hexColor("#30d15é"), (Rgba{0, 0, 0, 1}));
}
