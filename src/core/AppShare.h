#pragma once

#include <optional>
#include <string>

namespace joulemap {

// The name of the operating system's bucket among the application shares.
inline constexpr const char* kSystemShareName = "__system__";
// The monitor's own process is always shown under this name, so a user sees what watching costs.
inline constexpr const char* kSelfAppName = "Joulemap";

// One application's share of the processor time over a sample.
struct AppShare {
    std::string name{};
    std::optional<std::string> bundleId{};
    double fraction = 0;
    // Processor time over the sample in percent of one core, as top shows it (200 = two busy cores).
    double corePercent = 0;

    bool operator==(const AppShare&) const = default;
};

}  // namespace joulemap
