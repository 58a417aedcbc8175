#pragma once

#include <optional>
#include <string>
#include <vector>

namespace joulemap {

// Names the application a command path belongs to. Absent lists are not the same as empty ones.
struct NameRule {
    std::optional<std::vector<std::string>> keywords;
    std::optional<std::vector<std::string>> allKeywords;
    std::optional<std::vector<std::string>> anyKeywords;
    std::optional<std::vector<std::string>> excludeKeywords;
    std::optional<std::vector<std::string>> pathContains;
    std::string name;

    bool operator==(const NameRule&) const = default;
};

}  // namespace joulemap
