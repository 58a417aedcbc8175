#pragma once

#include "AppShare.h"
#include "NameRule.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace joulemap::ProcessPowerService {

// One process as a listing saw it. The fields after `system` are zero where the listing cannot
// tell them (ps on macOS prints neither parents nor children's times).
struct ProcessRecord {
    double cpuSeconds = 0;  // all of its threads, since it started
    std::string path;       // what names its application
    bool system = false;    // part of the operating system or the desktop session, not an application
    int64_t parentPid = 0;
    // Processor time of the children it has waited for (and theirs): a child that starts and ends
    // between two listings is seen only here.
    double reapedChildSeconds = 0;
    uint64_t startTicks = 0;  // tells a reused process id apart from the process that had it before

    bool operator==(const ProcessRecord&) const = default;
};

using Snapshot = std::unordered_map<int64_t, ProcessRecord>;

double parseTime(std::string_view text);
// The table of "ps -A -o pid=,time=,comm=" on macOS, whose paths tell the system's processes apart.
Snapshot parseSnapshot(std::string_view psText);

const std::vector<NameRule>& defaultRules();
std::optional<std::vector<NameRule>> decodeRules(std::string_view json);
// The first candidate file that reads and decodes to a non-empty list, else defaultRules().
std::vector<NameRule> loadRules(const std::vector<std::filesystem::path>& candidates);

bool ruleMatches(const NameRule& rule, std::string_view lowerPath);
std::string displayName(std::string_view path, const std::vector<NameRule>& rules);
// macOS locations and names of the operating system's own processes.
bool isSystemProcess(std::string_view path);
std::string shorten(std::string_view path);

// The share computation between two snapshots taken intervalSec apart: applications largest first
// (equal fractions in the order of their lowest process id), then "__system__" if it ran. Every
// processor second of the interval is counted once: a process new in b with all of its time, a
// child reaped in between through its parent's reaped time (less what a was already showing of
// it). The process selfPid is named kSelfAppName, whatever its path says.
std::vector<AppShare> sharesBetween(const Snapshot& a, const Snapshot& b, const std::vector<NameRule>& rules,
                                    double intervalSec, int64_t selfPid = 0);

}  // namespace joulemap::ProcessPowerService
