#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The updater's decisions that need no network, process or file: which address may be downloaded,
// where the disk-image tool mounted an image, which entry of the image is the application.
namespace joulemap {

inline constexpr std::string_view kMountPointMarker = "/Volumes/";
inline constexpr std::string_view kBundleSuffix = ".app";

// The mount point in the output of "hdiutil attach": of the lines (line feeds, empty ones dropped),
// trimmed of spaces and tabs, the last one holding "/Volumes/" gives the text from there to its end,
// spaces in the volume name included. None when no line holds it.
std::optional<std::string> mountPointFromAttachOutput(std::string_view toolOutput);

// A name that stays inside the folder it is joined to: not empty, no "/", not "." or "..".
bool isPlainFileName(std::string_view name);

// The first name, in the given order, that ends in ".app" and is a plain file name.
std::optional<std::string> bundleEntryName(const std::vector<std::string>& entryNames);

// HTTPS anywhere; plain HTTP only to this machine (127.0.0.0/8, ::1, localhost), where nobody sits
// in between. Scheme and host as a URL parser gives them (IPv6 without brackets).
bool isPermittedDownloadAddress(std::string_view scheme, std::string_view host);

// True when `executable` lies inside `bundle` (both absolute; compared lexically after normalising),
// i.e. the running program is the copy the one-click update replaces.
bool isInsideBundle(const std::filesystem::path& executable, const std::filesystem::path& bundle);

}  // namespace joulemap
