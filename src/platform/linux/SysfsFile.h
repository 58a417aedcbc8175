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

// Attributes fit in one page; anything larger is not one.
inline constexpr size_t kMaxAttributeBytes = 64 * 1024;

// The whole file without trailing white space; absent when it cannot be opened or read, is not a
// regular file, or holds more than kMaxAttributeBytes.
std::optional<std::string> readText(const std::filesystem::path& file);

// The whole file as it is, for the longer procfs tables and databases. Never blocks: the file is
// opened non-blocking and read only when it is a regular file (sysfs and procfs files are; a FIFO
// or a device such as /dev/zero is not). Absent when it cannot be read or holds more than maxBytes.
std::optional<std::string> readBounded(const std::filesystem::path& file, size_t maxBytes);

// A decimal integer and nothing else: optional sign, digits, no overflow, no surrounding text.
std::optional<int64_t> parseInt(std::string_view text);

std::optional<int64_t> readInt(const std::filesystem::path& file);

// Names of the entries of a directory in byte order; empty when it cannot be listed.
std::vector<std::string> entryNames(const std::filesystem::path& dir);

}  // namespace SysfsFile

}  // namespace joulemap
