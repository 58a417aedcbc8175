#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace joulemap {

// Reading kernel attribute files (sysfs, procfs). An attribute is one short value and a line
// break; a file that is missing, unreadable or does not hold a clean value reads as absent, so
// callers fall back field by field instead of handling errors.
namespace SysfsFile {

// The whole file without trailing white space; absent when it cannot be opened or read.
std::optional<std::string> readText(const std::filesystem::path& file);

// A decimal integer and nothing else: optional sign, digits, no overflow, no surrounding text.
std::optional<int64_t> parseInt(std::string_view text);

std::optional<int64_t> readInt(const std::filesystem::path& file);

// Names of the entries of a directory in byte order; empty when it cannot be listed.
std::vector<std::string> entryNames(const std::filesystem::path& dir);

}  // namespace SysfsFile

}  // namespace joulemap
