#pragma once

#include <optional>
#include <string>

namespace joulemap {

// The name of the operating system's bucket among the application shares.
inline constexpr const char* kSystemShareName = "__system__";

// One application's share of the processor time over a sample.
struct AppShare {
    std::string name;
    std::optional<std::string> bundleId;
    double fraction = 0;

    bool operator==(const AppShare&) const = default;
};

}  // namespace joulemap
