#include "Version.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace joulemap {

namespace {

std::vector<std::string_view> nonEmptyPieces(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(separator, start), text.size());
        if (end > start) pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

// An optional sign, then decimal digits only; anything else (a letter, a space, an overflow) is no number.
std::optional<int64_t> signedInteger(std::string_view piece) {
    if (!piece.empty() && piece.front() == '+') piece.remove_prefix(1);
    if (piece.empty() || piece.front() == '+') return std::nullopt;
    int64_t value = 0;
    const auto* end = piece.data() + piece.size();
    const auto [ptr, ec] = std::from_chars(piece.data(), end, value);
    if (ec != std::errc{} || ptr != end) return std::nullopt;
    return value;
}

}  // namespace

std::vector<int64_t> parseVersion(std::string_view text) {
    const auto hyphenPieces = nonEmptyPieces(text, '-');
    const std::string_view release = hyphenPieces.empty() ? text : hyphenPieces.front();
    std::vector<int64_t> numbers;
    for (const std::string_view piece : nonEmptyPieces(release, '.')) {
        if (const auto number = signedInteger(piece)) numbers.push_back(*number);
    }
    return numbers;
}

bool isNewerVersion(std::string_view a, std::string_view b) {
    const auto left = parseVersion(a);
    const auto right = parseVersion(b);
    const size_t length = std::max(left.size(), right.size());
    for (size_t i = 0; i < length; ++i) {
        const int64_t x = i < left.size() ? left[i] : 0;
        const int64_t y = i < right.size() ? right[i] : 0;
        if (x != y) return x > y;
    }
    return false;
}

}  // namespace joulemap
