#pragma once

#include "BatteryInfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace joulemap::BatteryAdvisor {

// One piece of advice for the panel. Items with the same severity and text share an id, so
// lists keyed by id show them once.
struct Advice {
    enum class Severity : int { info = 0, good = 1, warn = 2, critical = 3 };

    std::string id;  // "<severity raw value>|<text>"
    std::string icon;
    std::string text;
    Severity severity;

    Advice(std::string icon, std::string text, Severity severity);

    bool operator==(const Advice&) const = default;
};

// Advice for one snapshot, most severe first (rule order among equals), at most `max` items;
// an all-clear item when no rule applies. Pure: safe on any thread.
std::vector<Advice> advice(const BatteryInfo& battery, int64_t max);

// The severity with that raw value; absent outside 0...3.
std::optional<Advice::Severity> severityFromRaw(int raw);

}  // namespace joulemap::BatteryAdvisor
