#include "Accents.h"
#include "HexColor.h"

#include <gtest/gtest.h>

using joulemap::hexColor;
using joulemap::Rgba;

TEST(HexColor, SixAndEightDigitsWithOrWithoutHashes) {
    const Rgba grey{0.5, 0.5, 0.5, 1};
    const std::pair<std::string_view, Rgba> cases[] = {
        {joulemap::kAccentGreen, {0x30 / 255.0, 0xd1 / 255.0, 0x58 / 255.0, 1}},
        {"#FF453A", {1, 0x45 / 255.0, 0x3a / 255.0, 1}},
        {"#30d15880", {0x30 / 255.0, 0xd1 / 255.0, 0x58 / 255.0, 128 / 255.0}},
        // Hashes are stripped from both ends, however many there are.
        {"30d158", hexColor("#30d158")},
        {"##30d158#", hexColor("#30d158")},
        {"#0a84ff00#", {0x0a / 255.0, 0x84 / 255.0, 1, 0}},
        // A bad length is grey; the right length, not hexadecimal, is the value 0.
        {"#fff", grey},
        {"", grey},
        {"###", grey},
        {"#30d1580", grey},
        {"#30d15880ff", grey},
        {"#zzzzzz", {0, 0, 0, 1}},
        {"#30d15g", {0, 0, 0, 1}},
        {"#30d158zz", {0, 0, 0, 0}},
        {"#30d15é", {0, 0, 0, 1}},  // six characters, one of them two bytes long
    };
    for (const auto& [text, color] : cases) EXPECT_EQ(hexColor(text), color) << text;
}
