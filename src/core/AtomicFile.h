#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace joulemap {

// Writes `contents` to a temporary file beside `path` and renames it over `path`, so a reader (the
// desktop, a metrics collector) sees either the old file or the whole new one, never half of it.
// The folder must exist. On failure returns false, leaves no temporary behind and, when `error` is
// given, says why in one line.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents, std::string* error);

}  // namespace joulemap
