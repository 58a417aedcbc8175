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

// Process id -> (cumulative processor seconds, command path).
using Snapshot = std::unordered_map<int64_t, std::pair<double, std::string>>;

double parseTime(std::string_view text);
Snapshot parseSnapshot(std::string_view psText);

const std::vector<NameRule>& defaultRules();
std::optional<std::vector<NameRule>> decodeRules(std::string_view json);
// The first candidate file that reads and decodes to a non-empty list, else defaultRules().
std::vector<NameRule> loadRules(const std::vector<std::filesystem::path>& candidates);

bool ruleMatches(const NameRule& rule, std::string_view lowerPath);
std::string displayName(std::string_view path, const std::vector<NameRule>& rules);
bool isSystemProcess(std::string_view path);
std::string shorten(std::string_view path);

// The share computation between two snapshots taken an interval apart: applications largest
// first (equal fractions in the order of their lowest process id), then "__system__" if it ran.
std::vector<AppShare> sharesBetween(const Snapshot& a, const Snapshot& b, const std::vector<NameRule>& rules);

}  // namespace joulemap::ProcessPowerService
