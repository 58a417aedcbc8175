#include "UpdateInfo.h"

#include <gtest/gtest.h>

using namespace joulemap;

const std::string kSum(64, 'a');

TEST(UpdateInfo, DecodesTheFeedAndRejectsWhatCannotBeTrusted) {
    const struct {
        std::string json;
        std::optional<UpdateInfo> info;
    } cases[] = {
        {R"({"version":"1.3.0","url":"https://h/j.tar.gz"})", UpdateInfo{"1.3.0", "https://h/j.tar.gz", {}, {}, {}}},
        {R"({"version":"1.3","url":"u","notes":"修复","minMacOS":"13.0","extra":[1],"sha256":")" +
             std::string(64, 'A') + R"("})",
         UpdateInfo{"1.3", "u", "修复", "13.0", kSum}},
        {R"({"version":"1","url":"u","notes":null})", UpdateInfo{"1", "u", {}, {}, {}}},
        {R"({"version":"1"})", std::nullopt},
        {R"({"version":1.3,"url":"u"})", std::nullopt},
        {R"({"version":"1","url":"u","notes":5})", std::nullopt},
        {R"({"version":"1","url":"u","sha256":"abc"})", std::nullopt},
        {R"({"version":"1","url":"u","sha256":")" + std::string(63, 'a') + R"(g"})", std::nullopt},
        {R"(["version","url"])", std::nullopt},
        {R"({"version":"1","url":)", std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(decodeUpdateInfo(c.json), c.info) << c.json;
}
