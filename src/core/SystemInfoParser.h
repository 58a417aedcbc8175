#pragma once

#include "SystemInfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace joulemap::SystemInfoParser {

// The value after the first occurrence of label: the rest of its line, or the next non-empty line
// when the label ends its line; spaces and tabs trimmed. Absent when the label is missing or its
// value is blank.
std::optional<std::string> parseField(std::string_view text, std::string_view label);

// "494.38 GB (494,384,795,648 bytes)" -> "494 GB": whole units, no byte count. Text of fewer than
// two words comes back unchanged.
std::string simplifyDiskSize(std::string_view size);

// A byte count in the simplified form of the storage report, in decimal units: "494 GB", "1 TB".
std::string diskSizeText(uint64_t bytes);

// "512 B/s", "1.2 MB/s" (1 KB = 1024 bytes); "0 B/s" below one byte per second.
std::string formatRate(double bytesPerSecond);

// Received and sent bytes of the interface statistics (netstat -ib), summed over the link-level row
// of every interface that is not loopback, tunnel or bridge. Absent for empty text.
std::optional<std::pair<uint64_t, uint64_t>> netstatTotals(std::string_view text);

// Each report fills only its own fields of info; text without a label leaves that field empty.
void parseHardwareReport(std::string_view report, SystemInfo& info);
void parseStorageReport(std::string_view report, SystemInfo& info);
void parseDisplaysReport(std::string_view report, SystemInfo& info);

struct NetworkRate {
    std::string down;
    std::string up;
    uint64_t inTotal = 0;
    uint64_t outTotal = 0;

    bool operator==(const NetworkRate&) const = default;
};

// The rates since the previous measurement. Intervals below one second count as one second, so two
// quick refreshes cannot inflate the figure; a counter that went backwards (interface reset) gives
// 0 B/s. Without totals the texts are empty and the totals zero, so the next measurement starts
// again from zero.
NetworkRate networkRate(const std::optional<std::pair<uint64_t, uint64_t>>& totals, uint64_t prevIn,
                        uint64_t prevOut, double secondsSincePrev);

}  // namespace joulemap::SystemInfoParser
