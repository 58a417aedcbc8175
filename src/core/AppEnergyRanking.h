#pragma once

#include "AppEnergy.h"
#include "TextTranslation.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace joulemap {

inline constexpr SourceText kAppEnergyTitle = JM_TR_NOOP("AppEnergyRanking", "应用耗电");
inline constexpr SourceText kOnBatteryHeading = JM_TR_NOOP("AppEnergyRanking", "使用电池时");
inline constexpr SourceText kOnMainsHeading = JM_TR_NOOP("AppEnergyRanking", "接通电源时");
inline constexpr SourceText kAppEnergyRestName = JM_TR_NOOP("AppEnergyRanking", "其他");
inline constexpr SourceText kAppEnergyEmptyText = JM_TR_NOOP("AppEnergyRanking", "暂无耗电记录，每 30 秒记录一次");
inline constexpr SourceText kAppEnergyNoneInStateText = JM_TR_NOOP("AppEnergyRanking", "这段时间没有记录");
// Application figures are shares of the measured total by processor time; the card says so.
inline constexpr SourceText kAppEnergyFootnote = JM_TR_NOOP("AppEnergyRanking", "按各应用的处理器时间分摊整机耗电（估算）");
inline constexpr std::size_t kAppEnergyRows = 10;

struct AppEnergyRow {
    std::string name;  // in the language in use (see appEnergyDisplayName)
    double wh = 0;
    double share = 0;       // of the section's total, 0…1
    std::string whText;     // "12.3 Wh"
    std::string shareText;  // "41%"

    bool operator==(const AppEnergyRow&) const = default;
};

// One power state's ranking: the largest `maxRows` entries, then what is left as "其他".
struct AppEnergySection {
    std::string heading;    // "使用电池时" or "接通电源时"
    std::string totalText;  // "共 12.3 Wh"
    double totalWh = 0;
    std::vector<AppEnergyRow> rows;
};

// Builds the two sections (battery first: the question a user asks is what drained it) from the
// store's totals per application and power state.
std::vector<AppEnergySection> appEnergySections(const std::vector<AppEnergy>& totals,
                                                std::size_t maxRows = kAppEnergyRows);

// The name a recorded entry is shown under: the two names the program records itself under are
// kept as written and read in the language in use; an application's own name is its name.
std::string appEnergyDisplayName(const std::string& recorded);

// "12.3 Wh"; below 0.1 Wh with two decimals so a small share does not read as nothing.
std::string energyText(double wh);

}  // namespace joulemap
