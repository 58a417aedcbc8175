#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "HistoryStore.h"
#include "TextTranslation.h"

// The texts of the history window's two lists: the newest samples and the alert log.
namespace joulemap {

inline constexpr std::size_t kRecentSampleRows = 15;
inline constexpr std::int64_t kAlertHistoryLimit = 20;

inline constexpr SourceText kSampleTimeHeader = JM_TR_NOOP("HistoryRows", "时间");
inline constexpr SourceText kSampleInputHeader = JM_TR_NOOP("HistoryRows", "入口功率");
inline constexpr SourceText kSampleSystemHeader = JM_TR_NOOP("HistoryRows", "系统消耗");
inline constexpr SourceText kSampleNetHeader = JM_TR_NOOP("HistoryRows", "净功率");
inline constexpr SourceText kSampleChargeHeader = JM_TR_NOOP("HistoryRows", "电量");
inline constexpr SourceText kNoAlertsText = JM_TR_NOOP("HistoryRows", "暂无告警记录");

struct SampleRow {
    std::string time;     // "HH:mm:ss", local time
    std::string inputW;   // "12.3W"
    std::string systemW;  // "9.8W"
    std::string netW;     // "+2.5W", "−2.3W"
    bool netNegative = false;
    std::string charge;   // "85%"
};

// "明细记录（最近 k 条）" with k the number of rows shown (at most 15).
std::string recentSamplesTitle(std::size_t recordCount);

// The 15 newest of `records` (given oldest first), newest first.
std::vector<SampleRow> recentSampleRows(std::span<const HistoryStore::Record> records);

struct AlertRow {
    std::string icon;  // "🔥" for a hot battery, "⚡" for anything else
    std::string title;
    std::string body;
    std::string time;  // "MM-dd HH:mm", local time
};

// "告警历史（最近 m 条）".
std::string alertHistoryTitle(std::size_t alertCount);

// One row per alert, in the order given (the store reads them newest first).
std::vector<AlertRow> alertRows(std::span<const HistoryStore::AlertRecord> alerts);

// A stored charge as a whole percent, truncated toward zero; 0 for a value that is no number or
// too large to convert, which only a database edited by hand can hold.
int64_t wholePercent(double pct);

// "n 条记录", the count beside the window's title.
std::string recordCountText(std::size_t recordCount);

}  // namespace joulemap
