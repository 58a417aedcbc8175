#include "Version.h"

#include <gtest/gtest.h>

using namespace joulemap;

TEST(Version, ParsesNumbersBeforeTheSuffixAndDropsNonNumbers) {
    const struct {
        const char* text;
        std::vector<int64_t> numbers;
    } cases[] = {
        {"1.2.0", {1, 2, 0}},     {"2.0.0-beta.3", {2, 0, 0}}, {"1.a.3", {1, 3}},    {"1. 2.3", {1, 3}},
        {"1..2", {1, 2}},         {"+3.-1", {3}},              {"", {}},             {"---", {}},
        {"-1.5", {1, 5}},         {"7.x", {7}},                {"99999999999999999999.1", {1}},
    };
    for (const auto& c : cases) EXPECT_EQ(parseVersion(c.text), c.numbers) << c.text;
}

TEST(Version, ComparesNumericallyWithMissingPositionsAsZero) {
    const struct {
        const char* a;
        const char* b;
        bool newer;
    } cases[] = {
        {"1.2", "1.2.0", false}, {"1.2.0", "1.2", false}, {"1.2.1", "1.2.0", true}, {"1.10", "1.9", true},
        {"1.9", "1.10", false},  {"2.0.0-rc1", "2.0.0", false}, {"0.0.1", "0.0.0", true}, {"1.a.3", "1.2", true},
    };
    for (const auto& c : cases) EXPECT_EQ(isNewerVersion(c.a, c.b), c.newer) << c.a << " vs " << c.b;
}
