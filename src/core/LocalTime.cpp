#include "LocalTime.h"

#include <cmath>
#include <ctime>

namespace joulemap {

namespace {
constexpr std::size_t kBufferSize = 64;
// Far beyond any real timestamp, well inside time_t; a value past it (a database edited by hand)
// would overflow the conversion.
constexpr double kLimitSeconds = 1e15;
}

std::string formatLocalTime(double secondsSince1970, const char* pattern) {
    if (!std::isfinite(secondsSince1970) || std::fabs(secondsSince1970) > kLimitSeconds) return {};
    const auto whole = static_cast<std::time_t>(std::floor(secondsSince1970));
    std::tm parts{};
    if (localtime_r(&whole, &parts) == nullptr) return {};
    char buffer[kBufferSize];
    const std::size_t length = std::strftime(buffer, sizeof buffer, pattern, &parts);
    return std::string(buffer, length);
}

std::string isoLocalTime(double secondsSince1970) {
    const std::string text = formatLocalTime(secondsSince1970, "%Y-%m-%dT%H:%M:%S%z");
    // strftime writes the offset as "+0100"; the extended form wants "+01:00".
    constexpr std::size_t kOffsetMinutes = 2;
    if (text.size() <= kOffsetMinutes) return text;
    const std::size_t split = text.size() - kOffsetMinutes;
    return text.substr(0, split) + ':' + text.substr(split);
}

}  // namespace joulemap
