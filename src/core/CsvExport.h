#pragma once

#include "HistoryStore.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The history as CSV files a spreadsheet or a script reads: UTF-8, a header row, RFC 4180 quoting,
// CRLF line ends, ISO-8601 local times with their UTC offset and decimals with a dot whatever the
// locale.
namespace joulemap::CsvExport {

inline constexpr const char* kSamplesFile = "samples.csv";
inline constexpr const char* kAppsFile = "apps.csv";
inline constexpr const char* kAlertsFile = "alerts.csv";
inline constexpr int64_t kDefaultDays = 30;

// One field, quoted when it holds a comma, a quote, a line break or a leading/trailing blank.
std::string field(std::string_view text);
// The shortest text that reads back as the same double; empty for no number.
std::string number(double value);

std::string samplesCsv(const std::vector<HistoryStore::Record>& records);
std::string appsCsv(const std::vector<HistoryStore::EnergyRecord>& records);
std::string alertsCsv(const std::vector<HistoryStore::AlertRecord>& alerts);

// Writes the three files of the last `days` days into `folder` (made when missing), each through a
// temporary file renamed into place. Returns a one-line message when nothing could be exported
// (no history, a folder that cannot be written), else nothing.
std::optional<std::string> exportHistory(HistoryStore& store, const std::filesystem::path& folder, int64_t days);

}  // namespace joulemap::CsvExport
