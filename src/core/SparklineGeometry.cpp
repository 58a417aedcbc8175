#include "SparklineGeometry.h"

#include <algorithm>

namespace joulemap::SparklineGeometry {

std::vector<Point> points(std::span<const double> values, std::optional<double> maxValue, double width,
                          double height) {
    if (values.size() < 2) return {};
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    const double top = maxValue.value_or(*highest);
    const double base = *lowest < 0 ? *lowest : 0.0;
    const double range = std::max(top - base, kMinRange);
    const double drawableHeight = height - 2 * kEdgeMargin;
    const double lastIndex = static_cast<double>(values.size() - 1);

    std::vector<Point> result;
    result.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        result.push_back({static_cast<double>(i) / lastIndex * width,
                          height - (values[i] - base) / range * drawableHeight - kEdgeMargin});
    }
    return result;
}

}  // namespace joulemap::SparklineGeometry
