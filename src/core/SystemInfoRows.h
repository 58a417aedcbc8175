#pragma once

#include "SystemInfo.h"
#include "TextTranslation.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace joulemap {

inline constexpr SourceText kSystemInfoTitle = JM_TR_NOOP("SystemInfoRows", "设备信息");
inline constexpr SourceText kSystemInfoLoadingText = JM_TR_NOOP("SystemInfoRows", "读取中…");
// The row of the live rates, which the card draws with steady digits.
inline constexpr SourceText kNetworkRowLabel = JM_TR_NOOP("SystemInfoRows", "网络");

// The system information card shows the loading text until the machine has been described.
bool showsLoading(const SystemInfo& info);

// The card's rows as (label, value), in display order. A row appears only when its main value is
// known; model, hardware UUID, disk name and resolution are never shown. Empty while loading.
std::vector<std::pair<std::string, std::string>> systemInfoRows(const SystemInfo& info);

}  // namespace joulemap
