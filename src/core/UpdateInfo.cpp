#include "UpdateInfo.h"

#include <nlohmann/json.hpp>

#include <cctype>

namespace joulemap {

namespace {

constexpr size_t kSha256HexDigits = 64;

// Absent or null leave `out` empty; any other non-string fails the document.
bool readOptionalString(const nlohmann::json& object, const char* key, std::optional<std::string>& out) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return true;
    if (!it->is_string()) return false;
    out = it->get<std::string>();
    return true;
}

std::optional<std::string> normalisedSha256(std::string text) {
    if (text.size() != kSha256HexDigits) return std::nullopt;
    for (char& c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

std::optional<UpdateInfo> decodeUpdateInfo(std::string_view json) {
    const auto document = nlohmann::json::parse(json, nullptr, false);
    if (document.is_discarded() || !document.is_object()) return std::nullopt;
    const auto version = document.find("version");
    const auto url = document.find("url");
    if (version == document.end() || !version->is_string() || url == document.end() || !url->is_string()) {
        return std::nullopt;
    }
    UpdateInfo info;
    info.version = version->get<std::string>();
    info.url = url->get<std::string>();
    if (!readOptionalString(document, "notes", info.notes) || !readOptionalString(document, "minMacOS", info.minMacOS) ||
        !readOptionalString(document, "sha256", info.sha256)) {
        return std::nullopt;
    }
    if (info.sha256) {
        info.sha256 = normalisedSha256(*info.sha256);
        if (!info.sha256) return std::nullopt;
    }
    return info;
}

std::string encodeUpdateInfo(const UpdateInfo& info) {
    nlohmann::ordered_json out;
    out["version"] = info.version;
    out["url"] = info.url;
    if (info.notes) out["notes"] = *info.notes;
    if (info.minMacOS) out["minMacOS"] = *info.minMacOS;
    if (info.sha256) out["sha256"] = *info.sha256;
    // Invalid UTF-8 in a note is replaced rather than thrown on: the feed must always be writable.
    return out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace joulemap
