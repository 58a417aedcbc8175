#pragma once

#include <cstdint>
#include <string>

namespace joulemap {

// x × 10 rounded to the nearest integer, halves away from zero, then ÷ 10. The product is rounded in
// binary, so 0.35 × 6 (2.0999999999999996) gives 2.1 and 0.25 gives 0.3.
double round1(double x);

// The shortest decimal text that reads back as the same double, always with a fractional digit:
// "4.0", "12.3", "0.1", "100.0". Fixed notation from 1e-4 up to 1e16; scientific outside that range
// ("1e+16", "1.5e-05") so absurd readings cannot produce a line of digits. "inf" and "nan" as is.
std::string num(double x);

// Every formatter below ignores the process locale: a Qt application calls setlocale() at start-up,
// and printf would then write "12,3" under many European locales.

// A fixed number of decimals, halves away from zero: (39.99, 0) -> "40", (25.04, 1) -> "25.0".
std::string formatFixed(double value, int decimals);

// Watts with one decimal, the unit directly after it or after a space: "12.3W", "12.3 W".
std::string formatWatts(double watts, bool spaced);

// Net battery power without its unit: "+" for zero or more, the minus sign U+2212 below zero, then
// the magnitude with one decimal ("+2.5", "−0.0" for −0.04 W).
std::string formatSignedWatts(double watts);

// A whole percentage: "85%".
std::string formatPercent(int64_t percent);

// A capacity without decimals: "4382 mAh".
std::string formatCapacityMah(double mah);

}  // namespace joulemap
