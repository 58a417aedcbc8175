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
// an all-clear item when no rule applies. The health rule is skipped when the health is unknown.
// A snapshot with nothing in it (a machine without a battery) gets no advice. Pure: safe on any
// thread, and its texts do not depend on the process locale.
std::vector<Advice> advice(const BatteryInfo& battery, int64_t max);
// The same, with the caller saying whether the machine has a battery at all.
std::vector<Advice> advice(const BatteryInfo& battery, int64_t max, bool hasBattery);

// The severity with that raw value; absent outside 0...3.
std::optional<Advice::Severity> severityFromRaw(int raw);

}  // namespace joulemap::BatteryAdvisor
