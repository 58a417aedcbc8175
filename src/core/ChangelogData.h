#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "TextTranslation.h"

// The release history from versions.json: plain records and the loader. Decoding is strict: a
// missing key or a value of the wrong type makes the whole file unreadable, so a half-written
// file is skipped in favour of the next candidate rather than shown with holes.
namespace joulemap::ChangelogData {

struct Item {
    std::string title;
    std::string detail;  // may be empty

    bool operator==(const Item&) const = default;
};

struct Group {
    std::string kind;   // "added", "changed", "fixed" or anything else
    std::string title;  // carried along; the label shown comes from the kind
    std::vector<Item> items;

    std::string id() const { return kind + title; }
    bool operator==(const Group&) const = default;
};

struct Version {
    std::string version;  // shown as "v" + version; also the release's identity
    std::string date;     // shown as written
    std::string summary;  // may be empty
    std::vector<Group> groups;

    const std::string& id() const { return version; }
    bool operator==(const Version&) const = default;
};

struct Root {
    std::vector<Version> versions;  // newest first

    bool operator==(const Root&) const = default;
};

// Absent unless the text is a JSON object whose every required key is present with its type.
std::optional<Root> decode(std::string_view json);

// The first candidate that is a regular file, can be read and decodes; a root without versions
// when none does.
Root loadFrom(const std::vector<std::filesystem::path>& candidates);

// Where the file is looked for, in order, for a program whose executable lies in `executableDir`:
// the installed data folder beside it (<prefix>/share/joulemap), three folders further up (so a
// build tree finds the file at the top of its source tree), then the working directory.
std::vector<std::filesystem::path> candidates(const std::filesystem::path& executableDir);

// The label a group's kind is shown with, and its accent; no accent for the catch-all label, which
// takes the theme's tertiary text colour.
struct GroupLabel {
    SourceText text;
    std::optional<std::string_view> colorHex;

    bool operator==(const GroupLabel&) const = default;
};
GroupLabel groupLabel(std::string_view kind);

}  // namespace joulemap::ChangelogData
