#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace joulemap {

// Copies the folder tree `from` to `to` (which must not exist): folders, regular files with their
// permissions, and symbolic links as links. Anything else (a device, a pipe) fails the copy: an
// application bundle has no business holding one.
void copyTree(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error);

// Puts a copy of the bundle `source` at `destination`, replacing what is there, so that at every
// moment `destination` is either the complete old bundle or the complete new one: the copy goes to
// a hidden sibling first and takes the old one's place only once complete. On failure the old
// bundle is left where it was and the description of the error is returned.
std::optional<std::string> replaceBundle(const std::filesystem::path& source, const std::filesystem::path& destination);

}  // namespace joulemap
