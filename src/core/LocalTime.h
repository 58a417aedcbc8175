#pragma once

#include <string>

namespace joulemap {

// `secondsSince1970` as local wall-clock text in a strftime pattern ("%H:%M:%S", "%m/%d"); the
// fraction is dropped. Locale-free: only numeric fields are meant to be used.
std::string formatLocalTime(double secondsSince1970, const char* pattern);

// ISO-8601 local time with the offset from UTC, "2026-12-07T09:30:00+01:00"; empty for a value
// no clock can show.
std::string isoLocalTime(double secondsSince1970);

}  // namespace joulemap
