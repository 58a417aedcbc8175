#include "HexColor.h"

#include <cstdint>
#include <optional>

namespace joulemap {

namespace {

constexpr Rgba kMidGrey{0.5, 0.5, 0.5, 1.0};

std::string_view trimHashes(std::string_view text) {
    while (!text.empty() && text.front() == '#') text.remove_prefix(1);
    while (!text.empty() && text.back() == '#') text.remove_suffix(1);
    return text;
}

// Characters, not bytes: a stray non-ASCII character must count once towards the length.
std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) ++count;
    }
    return count;
}

std::optional<unsigned> hexDigit(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
    return std::nullopt;
}

// Only called for 6 or 8 characters, so the value always fits.
std::uint32_t parseHexOrZero(std::string_view text) {
    std::uint32_t value = 0;
    for (char c : text) {
        auto digit = hexDigit(c);
        if (!digit) return 0;
        value = value * 16 + *digit;
    }
    return value;
}

double component(std::uint32_t value, int shift) {
    return static_cast<double>((value >> shift) & 0xFF) / 255.0;
}

}  // namespace

Rgba hexColor(std::string_view hex) {
    const std::string_view digits = trimHashes(hex);
    const std::size_t length = characterCount(digits);
    if (length == 6) {
        const std::uint32_t v = parseHexOrZero(digits);
        return {component(v, 16), component(v, 8), component(v, 0), 1.0};
    }
    if (length == 8) {
        const std::uint32_t v = parseHexOrZero(digits);
        return {component(v, 24), component(v, 16), component(v, 8), component(v, 0)};
    }
    return kMidGrey;
}

}  // namespace joulemap
