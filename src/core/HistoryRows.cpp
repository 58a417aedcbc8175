#include "HistoryRows.h"

#include "TextTranslation.h"

#include "ChargeLevelAlert.h"
#include "LocalTime.h"
#include "NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace joulemap {

namespace {

constexpr std::string_view kHotIcon = "🔥";
constexpr std::string_view kOtherIcon = "⚡";
constexpr std::string_view kHotType = "highTemp";
constexpr std::string_view kChargeIcon = "🔋";
constexpr const char* kSampleTimePattern = "%H:%M:%S";
constexpr const char* kAlertTimePattern = "%m-%d %H:%M";

constexpr double kPercentLimit = 1e15;

int countOf(std::size_t count) { return static_cast<int>(std::min<std::size_t>(count, std::numeric_limits<int>::max())); }

}  // namespace

int64_t wholePercent(double pct) {
    return std::isfinite(pct) && std::fabs(pct) < kPercentLimit ? static_cast<int64_t>(pct) : 0;
}

std::string recentSamplesTitle(std::size_t recordCount) {
    // A plain name as the count: lupdate stalls on a call nested inside it.
    const int shown = countOf(std::min(recordCount, kRecentSampleRows));
    return JM_TR_N("HistoryRows", "明细记录（最近 %n 条）", "rows shown", shown);
}

std::vector<SampleRow> recentSampleRows(std::span<const HistoryStore::Record> records) {
    const std::size_t shown = std::min(records.size(), kRecentSampleRows);
    std::vector<SampleRow> rows;
    rows.reserve(shown);
    for (auto it = records.rbegin(); it != records.rbegin() + static_cast<std::ptrdiff_t>(shown); ++it) {
        rows.push_back({formatLocalTime(static_cast<double>(it->ts), kSampleTimePattern),
                        formatWatts(it->inputW, false), formatWatts(it->systemW, false),
                        formatSignedWatts(it->batteryNetW) + "W", it->batteryNetW < 0,
                        formatPercent(wholePercent(it->batteryPct))});
    }
    return rows;
}

std::string alertHistoryTitle(std::size_t alertCount) {
    return JM_TR_N("HistoryRows", "告警历史（最近 %n 条）", "alerts shown", countOf(alertCount));
}

std::vector<AlertRow> alertRows(std::span<const HistoryStore::AlertRecord> alerts) {
    std::vector<AlertRow> rows;
    rows.reserve(alerts.size());
    for (const auto& alert : alerts) {
        const bool charge = alert.type == kChargeHighAlertKey || alert.type == kChargeLowAlertKey;
        const std::string_view icon = alert.type == kHotType ? kHotIcon : charge ? kChargeIcon : kOtherIcon;
        rows.push_back({std::string(icon), alert.title, alert.body,
                        formatLocalTime(alert.ts, kAlertTimePattern)});
    }
    return rows;
}

std::string recordCountText(std::size_t recordCount) {
    return JM_TR_N("HistoryRows", "%n 条记录", "records stored", countOf(recordCount));
}

}  // namespace joulemap
