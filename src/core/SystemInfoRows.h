#pragma once

#include "SystemInfo.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace joulemap {

inline constexpr std::string_view kSystemInfoTitle = "设备信息";
inline constexpr std::string_view kSystemInfoLoadingText = "读取中…";
// The row of the live rates, which the card draws with steady digits.
inline constexpr std::string_view kNetworkRowLabel = "网络";

// The system information card shows the loading text until the machine has been described.
bool showsLoading(const SystemInfo& info);

// The card's rows as (label, value), in display order. A row appears only when its main value is
// known; model, hardware UUID, disk name and resolution are never shown. Empty while loading.
std::vector<std::pair<std::string, std::string>> systemInfoRows(const SystemInfo& info);

}  // namespace joulemap
