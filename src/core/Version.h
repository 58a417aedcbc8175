#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace joulemap {

// The numbers of a release version: the text before the first "-" suffix, split on ".", with every
// piece that is not a signed decimal integer dropped (not counted as 0), so "1.a.3" gives [1, 3].
std::vector<int64_t> parseVersion(std::string_view text);

// True when version `a` is newer than `b`, comparing the numbers from the left with missing
// positions as 0, so 1.2 and 1.2.0 are the same release and 1.10 is newer than 1.9.
bool isNewerVersion(std::string_view a, std::string_view b);

}  // namespace joulemap
