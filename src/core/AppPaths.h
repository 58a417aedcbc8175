#pragma once

#include <filesystem>
#include <optional>

namespace joulemap::AppPaths {

// The current user's data directory: $XDG_DATA_HOME when it is an absolute path, else
// ~/.local/share (~/Library/Application Support on macOS). Absent when neither can be found.
std::optional<std::filesystem::path> dataDirectory();

// <data directory>/Joulemap/history.db; absent with the data directory.
std::optional<std::filesystem::path> historyDatabasePath();

}  // namespace joulemap::AppPaths
