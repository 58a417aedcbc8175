#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

namespace joulemap {

namespace {

// Room for any double in fixed notation (309 integer digits) plus sign and fraction.
constexpr std::size_t kBufferSize = 400;

// The everyday range, printed without an exponent.
constexpr double kFixedLowerBound = 1e-4;
constexpr double kFixedUpperBound = 1e16;

constexpr std::string_view kMinusSign = "\u2212";

std::string fixed(double x, int decimals) {
    char buffer[kBufferSize];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
    // Only a request for very many decimals overflows; never show what the buffer held before.
    if (result.ec != std::errc{}) return {};
    return std::string(buffer, result.ptr);
}

}  // namespace

double round1(double x) {
    // std::round rounds halves away from zero; nearbyint would round them to even.
    return std::round(x * 10.0) / 10.0;
}

std::string num(double x) {
    if (!std::isfinite(x)) {
        return std::isnan(x) ? "nan" : (x > 0 ? "inf" : "-inf");
    }
    const double magnitude = std::fabs(x);
    const bool useFixed = magnitude == 0 || (magnitude >= kFixedLowerBound && magnitude < kFixedUpperBound);
    char buffer[kBufferSize];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x,
                                      useFixed ? std::chars_format::fixed : std::chars_format::scientific);
    if (result.ec != std::errc{}) return {};
    std::string text(buffer, result.ptr);
    if (useFixed && text.find('.') == std::string::npos) {
        text += ".0";
    }
    return text;
}

std::string formatFixed(double value, int decimals) {
    constexpr int kMaxDecimals = 9;
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    // Past 2^53 every double is a whole number already; scaling back would only lose it.
    const double rounded = std::isfinite(scaled) ? std::round(scaled) / scale : value;
    // -0.04 rounds to -0; shown as "0.0", not "-0.0".
    return fixed(rounded == 0 ? 0.0 : rounded, decimals);
}

std::string formatWatts(double watts, bool spaced) { return fixed(watts, 1) + (spaced ? " W" : "W"); }

std::string formatSignedWatts(double watts) {
    const std::string_view sign = watts >= 0 ? std::string_view("+") : kMinusSign;
    return std::string(sign) + fixed(std::fabs(watts), 1);
}

std::string formatPercent(int64_t percent) { return std::to_string(percent) + "%"; }

std::string formatCapacityMah(double mah) { return fixed(mah, 0) + " mAh"; }

}  // namespace joulemap
