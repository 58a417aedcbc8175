#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace joulemap {

// One record of the update feed: the newest release and where its image is.
struct UpdateInfo {
    std::string version;
    std::string url;  // the release image; also what a manual download opens in the browser
    std::optional<std::string> notes;
    std::optional<std::string> minMacOS;  // carried for the feed's other readers, not acted upon
    // SHA-256 of the image as 64 lowercase hexadecimal digits. Feeds from before it was added have
    // none, and their images are installed unchecked.
    std::optional<std::string> sha256;

    bool operator==(const UpdateInfo&) const = default;
};

// The feed is one JSON object; "version" and "url" are required strings, "notes", "minMacOS" and
// "sha256" optional strings (null counts as absent), other keys are ignored. A document that is not
// such an object, or whose "sha256" is not 64 hexadecimal digits, gives none: a checksum that cannot
// be checked must not quietly turn into no checksum.
std::optional<UpdateInfo> decodeUpdateInfo(std::string_view json);

// "version" and "url" always, the optional members only when present.
std::string encodeUpdateInfo(const UpdateInfo& info);

}  // namespace joulemap
