#pragma once

#include <string>

namespace joulemap {

// `secondsSince1970` as local wall-clock text in a strftime pattern ("%H:%M:%S", "%m/%d"); the
// fraction is dropped. Locale-free: only numeric fields are meant to be used.
std::string formatLocalTime(double secondsSince1970, const char* pattern);

}  // namespace joulemap
