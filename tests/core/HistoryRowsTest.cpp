#include <gtest/gtest.h>

#include "HistoryRows.h"
#include "TestSupport.h"

namespace joulemap {
namespace {

// 2026-12-07 00:00:00 UTC.
constexpr int64_t kMidnight = 1'796'601'600;

TEST(HistoryRowsTest, ShowsTheFifteenNewestSamplesNewestFirst) {
    const ScopedEnv tz("TZ", "UTC");
    std::vector<HistoryStore::Record> records;
    for (int i = 1; i <= 40; ++i) records.push_back({0, kMidnight + 30 * i, double(i), 0, 50, 0});
    const auto rows = recentSampleRows(records);
    EXPECT_EQ(recentSamplesTitle(records.size()), "明细记录（最近 15 条）");
    EXPECT_EQ(recentSamplesTitle(3), "明细记录（最近 3 条）");
    ASSERT_EQ(rows.size(), 15u);
    EXPECT_EQ(rows.front().inputW + " " + rows.front().time, "40.0W 00:20:00");
    EXPECT_EQ(rows.back().inputW, "26.0W");
    EXPECT_TRUE(recentSampleRows({}).empty());
}

TEST(HistoryRowsTest, FormatsEachColumnWithTheSignOfTheNetPower) {
    const struct {
        double net, pct;
        const char* netText;
        bool negative;
        const char* charge;
    } cases[] = {
        {2.5, 85.9, "+2.5W", false, "85%"},
        {-2.34, 100, "\u22122.3W", true, "100%"},
        {0, 1e300, "+0.0W", false, "0%"},  // only a hand-edited database holds such a charge
    };
    for (const auto& c : cases) {
        const HistoryStore::Record record{0, kMidnight, 12.34, 9.87, c.pct, c.net};
        const auto row = recentSampleRows({&record, 1}).at(0);
        EXPECT_EQ(row.netW, c.netText);
        EXPECT_EQ(row.netNegative, c.negative) << c.netText;
        EXPECT_EQ(row.charge, c.charge);
        EXPECT_EQ(row.inputW + " " + row.systemW, "12.3W 9.9W");
    }
}

TEST(HistoryRowsTest, AlertRowsKeepTheOrderAndPickTheIconByType) {
    const ScopedEnv tz("TZ", "UTC");
    const std::vector<HistoryStore::AlertRecord> alerts{
        {2, double(kMidnight + 3600 * 13 + 60 * 5) + 0.7, "highDrain", "耗电异常", "Chrome"},
        {1, double(kMidnight), "highTemp", "电池过热", "46°C"},
        {0, double(kMidnight), "other", "t", "b"}};
    const auto rows = alertRows(alerts);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].icon + rows[0].time + " " + rows[0].body, "⚡12-07 13:05 Chrome");
    EXPECT_EQ(rows[1].icon + rows[2].icon, "🔥⚡");
    EXPECT_EQ(alertHistoryTitle(rows.size()), "告警历史（最近 3 条）");
    EXPECT_EQ(recordCountText(1), "1 条记录");
}

}  // namespace
}  // namespace joulemap
