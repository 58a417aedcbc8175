#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace joulemap {

// Writes `contents` to a new file beside `file` and renames it over `file`, so a reader sees the
// old file or the new one, never half of one. The result is readable by everyone (0644): other
// users' services (a metrics collector) read what is written. On failure nothing is left behind,
// `file` is unchanged and `error` (when given) says why in one line.
bool writeFileAtomically(const std::filesystem::path& file, std::string_view contents, std::string* error = nullptr);

}  // namespace joulemap
