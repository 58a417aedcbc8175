#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace joulemap {

// The values a machine can plausibly report. Drivers and firmware fill unknown fields with
// all-ones words, negative errors or stale garbage; such a value read as a fact would show an
// impossible figure, raise a false alert or overflow a later conversion, so a reading outside its
// range is treated as absent.
struct ReadingRange {
    double min;
    double max;

    bool contains(double value) const { return std::isfinite(value) && value >= min && value <= max; }
    std::optional<double> check(double value) const {
        if (!contains(value)) return std::nullopt;
        return value;
    }
    std::optional<double> check(std::optional<double> value) const {
        if (!value || !contains(*value)) return std::nullopt;
        return value;
    }
    std::optional<int64_t> check(std::optional<int64_t> value) const {
        if (!value || !contains(static_cast<double>(*value))) return std::nullopt;
        return value;
    }
};

namespace PlausibleReadings {

inline constexpr ReadingRange kChargePct{0, 100};
// Below freezing cells do not work, above 120 ℃ a laptop has long shut itself down.
inline constexpr ReadingRange kTemperatureC{-40, 120};
// Laptop packs are 4 cells or so; 100 V leaves room for anything portable.
inline constexpr ReadingRange kVoltageMv{0, 100'000};
// Signed: into the battery while charging, out of it while discharging. 1 kW is beyond any
// portable machine and any USB-PD contract.
inline constexpr ReadingRange kBatteryPowerMw{-1'000'000, 1'000'000};
// 1 kW at a single cell's 1 V is 1,000 A: anything above is no real current.
inline constexpr ReadingRange kBatteryCurrentMa{-1'000'000, 1'000'000};
// 10 kWh is far beyond any battery a desktop program runs on.
inline constexpr ReadingRange kCapacityMwh{0, 10'000'000};
// The same 10 kWh at a single cell's 3 V.
inline constexpr ReadingRange kCapacityMah{0, 10'000'000.0 / 3.0};
// What a charger can deliver, in milliwatts, like the battery's own power.
inline constexpr ReadingRange kAdapterPowerMw{0, 1'000'000};
inline constexpr ReadingRange kAdapterWatts{0, 1'000};
// Charge cycles: a cell worn out after a few thousand; 100,000 leaves room for any counter.
inline constexpr ReadingRange kCycleCount{0, 100'000};
// Remaining time: no battery lasts a year.
inline constexpr ReadingRange kMinutesLeft{0, 365.0 * 24 * 60};

}  // namespace PlausibleReadings

}  // namespace joulemap
