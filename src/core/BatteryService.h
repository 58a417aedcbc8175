#pragma once

#include "BatteryInfo.h"

#include <cstdint>
#include <optional>
#include <string_view>

// Reading the smart-battery registry dump ("Key" = value lines, dictionaries inline in braces)
// and the health line of the power report. Parsers never fail: each field falls back on its own.
//
// The text is scanned by hand instead of with a regular-expression engine; the scanner gives the
// same first match and capture as these patterns (\s is ASCII white space, \d an ASCII digit):
//   value of a key:        "KEY"\s*=\s*"?([^\s",}]+)"?
//   start of a dictionary: "KEY"\s*=\s*\{
//   adapter voltage:       "AdapterVoltage"\s*=\s*(\d+)
//   power role of a port:  FedPortPowerRole"\s*=\s*(\d)
//   health line:           Maximum Capacity:\s*([0-9]+)
namespace joulemap::BatteryService {

// The whole dump turned into a record; an empty text gives BatteryInfo::unknown().
BatteryInfo parse(std::string_view text);

// "Maximum Capacity: 87%" in the power report -> 87; 0 when the line is missing or unreadable.
int64_t parseSystemHealthPct(std::string_view profilerText);

// Negative registry integers are printed as their unsigned 64-bit pattern: take that pattern back
// as signed; any other text is read as a decimal number. Empty or unreadable text is absent.
std::optional<double> signedToDouble(std::string_view s);

// The value of the first "key" = value anywhere in the text (top level or nested). A quoted value
// stops at its first space. The result views into text.
std::optional<std::string_view> stringField(std::string_view text, std::string_view key);
std::optional<int64_t> intField(std::string_view text, std::string_view key);

// The value of innerKey inside the first "outerKey" = {...} dictionary (braces are counted, so a
// dictionary nested in it does not end it early). The result views into text.
std::optional<std::string_view> nestedString(std::string_view text, std::string_view outerKey,
                                             std::string_view innerKey);
std::optional<int64_t> nestedInt(std::string_view text, std::string_view outerKey, std::string_view innerKey);

// Optional sign, ASCII digits only, the whole text, no overflow.
std::optional<int64_t> toInt(std::string_view s);
// A decimal number (optional sign, digits, fraction, exponent) filling the whole text; words such
// as "inf" or "nan" and hexadecimal forms are not numbers.
std::optional<double> toDouble(std::string_view s);

}  // namespace joulemap::BatteryService
