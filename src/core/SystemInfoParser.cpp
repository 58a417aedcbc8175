#include "SystemInfoParser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <system_error>
#include <vector>

namespace joulemap::SystemInfoParser {

namespace {

constexpr double kKiB = 1024.0;
constexpr double kMiB = kKiB * 1024.0;
constexpr double kGiB = kMiB * 1024.0;

// Decimal units, as the storage report prints sizes; the largest unit comes first.
constexpr std::array<std::pair<uint64_t, std::string_view>, 4> kDiskUnits{{
    {1'000'000'000'000, "TB"},
    {1'000'000'000, "GB"},
    {1'000'000, "MB"},
    {1'000, "KB"},
}};

// Interfaces that are not a real link: loopback, Apple wireless direct links, tunnels, bridges;
// "Name" is the header line.
constexpr std::array<std::string_view, 8> kSkippedInterfacePrefixes{"lo",  "awdl",   "llw",  "gif",
                                                                    "stf", "bridge", "utun", "Name"};

// Name Mtu Network Address Ipkts Ierrs Ibytes Opkts Oerrs Obytes: the Coll column is not needed.
constexpr size_t kNetstatColumns = 10;
constexpr size_t kNetworkColumn = 2;
constexpr size_t kReceivedBytesColumn = 6;
constexpr size_t kSentBytesColumn = 9;

std::string_view trimSpacesAndTabs(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// Pieces of s between separators, empty pieces dropped, at most maxPieces of them.
std::vector<std::string_view> split(std::string_view s, char separator, size_t maxPieces = SIZE_MAX) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (start <= s.size() && pieces.size() < maxPieces) {
        size_t end = s.find(separator, start);
        if (end == std::string_view::npos) end = s.size();
        if (end > start) pieces.push_back(s.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

std::optional<uint64_t> parseUnsigned(std::string_view s) {
    uint64_t value = 0;
    const char* end = s.data() + s.size();
    const auto [ptr, ec] = std::from_chars(s.data(), end, value);
    if (ec != std::errc{} || ptr != end || s.empty()) return std::nullopt;
    return value;
}

// "%.1f" without the locale: a Qt process has called setlocale(), and printf would write "1,2".
std::string oneDecimal(double value) {
    // Room for any double: 309 integer digits, sign, point and the decimal.
    char buffer[320];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    if (result.ec != std::errc{}) return {};  // never show what the buffer held before
    return std::string(buffer, result.ptr);
}

std::string fieldOrEmpty(std::string_view text, std::string_view label) {
    return parseField(text, label).value_or(std::string{});
}

}  // namespace

std::optional<std::string> parseField(std::string_view text, std::string_view label) {
    const auto at = text.find(label);
    if (at == std::string_view::npos) return std::nullopt;
    const auto lines = split(text.substr(at + label.size()), '\n', 1);
    if (lines.empty()) return std::nullopt;
    const auto value = trimSpacesAndTabs(lines.front());
    if (value.empty()) return std::nullopt;
    return std::string(value);
}

std::string simplifyDiskSize(std::string_view size) {
    const auto words = split(size, ' ', 2);
    if (words.size() < 2) return std::string(size);
    const auto whole = words[0].substr(0, words[0].find('.'));
    return std::string(whole) + " " + std::string(words[1]);
}

std::string diskSizeText(uint64_t bytes) {
    // The smallest unit takes whatever is left, so an empty volume reads "0 KB".
    auto unit = kDiskUnits.back();
    for (const auto& candidate : kDiskUnits) {
        if (bytes >= candidate.first) {
            unit = candidate;
            break;
        }
    }
    // Whole units, cut off like the report's "494.38 GB" is: 999,999,999 bytes are not yet 1 GB.
    return std::to_string(bytes / unit.first) + " " + std::string(unit.second);
}

std::string formatRate(double r) {
    if (r >= kGiB) return oneDecimal(r / kGiB) + " GB/s";
    if (r >= kMiB) return oneDecimal(r / kMiB) + " MB/s";
    if (r >= kKiB) return oneDecimal(r / kKiB) + " KB/s";
    if (r >= 1) return std::to_string(static_cast<uint64_t>(r)) + " B/s";
    return "0 B/s";
}

std::optional<std::pair<uint64_t, uint64_t>> netstatTotals(std::string_view text) {
    if (text.empty()) return std::nullopt;
    uint64_t in = 0;
    uint64_t out = 0;
    for (const auto line : split(text, '\n')) {
        const auto columns = split(line, ' ', kNetstatColumns);
        if (columns.size() < kNetstatColumns) continue;
        const auto name = columns[0];
        const bool skipped =
            std::any_of(kSkippedInterfacePrefixes.begin(), kSkippedInterfacePrefixes.end(),
                        [name](std::string_view prefix) { return name.starts_with(prefix); });
        if (skipped) continue;
        // An interface has one row per address; only its link row counts, so it counts once.
        if (!columns[kNetworkColumn].starts_with("<Link")) continue;
        const auto received = parseUnsigned(columns[kReceivedBytesColumn]);
        const auto sent = parseUnsigned(columns[kSentBytesColumn]);
        if (!received || !sent) continue;
        in += *received;
        out += *sent;
    }
    return std::pair{in, out};
}

void parseHardwareReport(std::string_view report, SystemInfo& info) {
    info.modelName = fieldOrEmpty(report, "Model Name:");
    info.chipName = fieldOrEmpty(report, "Chip:");
    // "10 (8 performance and 2 efficiency)": the total is the first word.
    const std::string coresValue = fieldOrEmpty(report, "Total Number of Cores:");
    const auto cores = split(coresValue, ' ', 1);
    info.coreCount = cores.empty() ? std::string{} : std::string(cores.front());
    info.memoryGB = fieldOrEmpty(report, "Memory:");
    info.serialNumber = fieldOrEmpty(report, "Serial Number (system):");
    info.hardwareUUID = fieldOrEmpty(report, "Hardware UUID:");
}

void parseStorageReport(std::string_view report, SystemInfo& info) {
    // The first occurrence belongs to the first volume listed.
    const auto capacity = parseField(report, "Capacity:");
    const auto free = parseField(report, "Free:");
    info.diskCapacityGB = capacity ? simplifyDiskSize(*capacity) : std::string{};
    info.diskFreeGB = free ? simplifyDiskSize(*free) : std::string{};
}

void parseDisplaysReport(std::string_view report, SystemInfo& info) {
    info.gpuName = fieldOrEmpty(report, "Chipset Model:");
    info.gpuCores = fieldOrEmpty(report, "Total Number of Cores:");
    info.metalVersion = fieldOrEmpty(report, "Metal Support:");
    info.displayResolution = fieldOrEmpty(report, "Resolution:");
}

NetworkRate networkRate(const std::optional<std::pair<uint64_t, uint64_t>>& totals, uint64_t prevIn,
                        uint64_t prevOut, double secondsSincePrev) {
    if (!totals) return {};
    const auto [in, out] = *totals;
    const double interval = std::max(secondsSincePrev, 1.0);
    const uint64_t downBytes = in >= prevIn ? in - prevIn : 0;
    const uint64_t upBytes = out >= prevOut ? out - prevOut : 0;
    return {formatRate(static_cast<double>(downBytes) / interval),
            formatRate(static_cast<double>(upBytes) / interval), in, out};
}

}  // namespace joulemap::SystemInfoParser
