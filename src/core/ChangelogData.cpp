#include "ChangelogData.h"

#include <nlohmann/json.hpp>

#include <array>
#include <fstream>
#include <iterator>
#include <system_error>

namespace joulemap::ChangelogData {

namespace {

using nlohmann::json;

constexpr std::string_view kFileName = "versions.json";
constexpr std::string_view kInstalledDataDir = "../share/joulemap";
// A release history is a few kilobytes; anything far larger is not one, and reading it whole
// would only cost memory.
constexpr std::uintmax_t kMaxFileBytes = 4 * 1024 * 1024;

struct KindLabel {
    std::string_view kind;
    GroupLabel label;
};
constexpr std::array<KindLabel, 3> kKindLabels{{
    {"added", {JM_TR_NOOP("ChangelogData", "新增"), "#30D158"}},
    {"changed", {JM_TR_NOOP("ChangelogData", "变更"), "#64D2FF"}},
    {"fixed", {JM_TR_NOOP("ChangelogData", "修复"), "#FF9F0A"}},
}};
constexpr GroupLabel kOtherLabel{JM_TR_NOOP("ChangelogData", "其他"), std::nullopt};

// The text under `key`, or absent when the key is missing or holds anything but text.
std::optional<std::string> text(const json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
}

// The array under `key` with every element decoded, or absent when any of them fails.
template <typename T, typename Decoder>
std::optional<std::vector<T>> array(const json& object, const char* key, Decoder decodeOne) {
    const auto it = object.find(key);
    if (it == object.end() || !it->is_array()) return std::nullopt;
    std::vector<T> result;
    result.reserve(it->size());
    for (const json& element : *it) {
        std::optional<T> decoded = decodeOne(element);
        if (!decoded) return std::nullopt;
        result.push_back(std::move(*decoded));
    }
    return result;
}

std::optional<Item> decodeItem(const json& value) {
    if (!value.is_object()) return std::nullopt;
    auto title = text(value, "title");
    auto detail = text(value, "detail");
    if (!title || !detail) return std::nullopt;
    return Item{std::move(*title), std::move(*detail)};
}

std::optional<Group> decodeGroup(const json& value) {
    if (!value.is_object()) return std::nullopt;
    auto kind = text(value, "kind");
    auto title = text(value, "title");
    auto items = array<Item>(value, "items", decodeItem);
    if (!kind || !title || !items) return std::nullopt;
    return Group{std::move(*kind), std::move(*title), std::move(*items)};
}

std::optional<Version> decodeVersion(const json& value) {
    if (!value.is_object()) return std::nullopt;
    auto version = text(value, "version");
    auto date = text(value, "date");
    auto summary = text(value, "summary");
    auto groups = array<Group>(value, "groups", decodeGroup);
    if (!version || !date || !summary || !groups) return std::nullopt;
    return Version{std::move(*version), std::move(*date), std::move(*summary), std::move(*groups)};
}

std::optional<std::string> readSmallFile(const std::filesystem::path& path) {
    std::error_code ec;
    // Not a directory, nor a pipe or device that would block or never end.
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileBytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return contents;
}

}  // namespace

std::optional<Root> decode(std::string_view json) {
    // No exceptions: a malformed file is an ordinary outcome here, not an error.
    const nlohmann::json parsed = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object()) return std::nullopt;
    auto versions = array<Version>(parsed, "versions", decodeVersion);
    if (!versions) return std::nullopt;
    return Root{std::move(*versions)};
}

Root loadFrom(const std::vector<std::filesystem::path>& candidates) {
    for (const auto& path : candidates) {
        const auto contents = readSmallFile(path);
        if (!contents) continue;
        if (auto root = decode(*contents)) return std::move(*root);
    }
    return {};
}

std::vector<std::filesystem::path> candidates(const std::filesystem::path& executableDir) {
    const std::filesystem::path name(kFileName);
    std::vector<std::filesystem::path> result;
    if (!executableDir.empty()) {
        result.push_back(executableDir / kInstalledDataDir / name);
        result.push_back(executableDir / "../../.." / name);
        result.push_back(executableDir / "../../../.." / name);
        result.push_back(executableDir / "../../../../.." / name);
    }
    // Relative on purpose: resolved against the working directory when it is opened.
    result.push_back(name);
    return result;
}

GroupLabel groupLabel(std::string_view kind) {
    for (const auto& entry : kKindLabels) {
        if (entry.kind == kind) return entry.label;
    }
    return kOtherLabel;
}

}  // namespace joulemap::ChangelogData
