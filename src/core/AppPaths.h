#pragma once

#include <filesystem>
#include <optional>

namespace joulemap::AppPaths {

// The current user's data directory: $XDG_DATA_HOME when it is an absolute path, else
// ~/.local/share (~/Library/Application Support on macOS). Absent when neither can be found.
std::optional<std::filesystem::path> dataDirectory();

// <data directory>/Joulemap/history.db; absent with the data directory.
std::optional<std::filesystem::path> historyDatabasePath();

// The current user's state directory: $XDG_STATE_HOME when it is an absolute path, else
// ~/.local/state (the data directory on macOS). Absent when neither can be found.
std::optional<std::filesystem::path> stateDirectory();

// Where the metrics for node_exporter's textfile collector go unless the user names a file:
// <state directory>/joulemap/joulemap.prom; absent with the state directory.
std::optional<std::filesystem::path> defaultPrometheusTextfile();

}  // namespace joulemap::AppPaths
