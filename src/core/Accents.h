#pragma once

#include <string_view>

namespace joulemap {

// The fixed accents every view shares; each one always signals the same kind of state.
// Charging, good health, positive net battery power, live indicator, update done.
inline constexpr std::string_view kAccentGreen = "#30d158";
// Discharging, fair health, warm battery, warning advice.
inline constexpr std::string_view kAccentYellow = "#ffd60a";
// Battery to replace, negative net battery power, hot battery, update failure, critical advice.
inline constexpr std::string_view kAccentRed = "#ff453a";
// System consumption, USB-C output warning, manual download.
inline constexpr std::string_view kAccentOrange = "#ff9f0a";
// Update notice, one-click update.
inline constexpr std::string_view kAccentBlue = "#0a84ff";
// Adapter connected, battery level, background glow.
inline constexpr std::string_view kAccentCyan = "#64d2ff";

}  // namespace joulemap
