#pragma once

#include <cstdint>
#include <string>

namespace joulemap {

// `joulemap --export-csv DIR [--days N]`: reads the history file read-only (a running Joulemap keeps
// writing it), writes the CSV files and returns the exit status: 0, or 1 after one line on stderr.
int runCsvExport(const std::string& folder, int64_t days);

}  // namespace joulemap
