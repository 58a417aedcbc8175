#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Start at login, the freedesktop way: a desktop entry in the user's autostart folder. The file is
// the truth, so the switch shows what the desktop will actually do, also after the user changed it
// with another tool.
namespace joulemap::AutostartEntry {

inline constexpr std::string_view kFileName = "joulemap.desktop";

// "$XDG_CONFIG_HOME/autostart/joulemap.desktop", or under "$HOME/.config" when the variable is unset
// or relative; none without a usable home.
std::optional<std::filesystem::path> defaultPath();

// The entry's text, starting `executable` (quoted as desktop entries want it).
std::string desktopEntry(const std::string& executable);

// Whether the desktop will start the entry: the file exists and does not hide or disable itself.
bool isEnabled(const std::filesystem::path& file);

// Writes the entry (creating the folder) or removes it. False when the file system refused.
bool setEnabled(const std::filesystem::path& file, bool enabled, const std::string& executable);

}  // namespace joulemap::AutostartEntry
