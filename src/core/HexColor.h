#pragma once

#include <string_view>

namespace joulemap {

// sRGB components in 0..1.
struct Rgba {
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 1;

    bool operator==(const Rgba&) const = default;
};

// Turns the "#rrggbb" / "#rrggbbaa" strings the records carry into a colour. Never fails:
// text that is not hexadecimal reads as 0 (opaque black), a wrong length gives mid grey, so a
// bad record shows up as an odd colour instead of breaking a view.
Rgba hexColor(std::string_view hex);

}  // namespace joulemap
