#pragma once

#include <optional>
#include <span>
#include <vector>

// Where a sparkline's points go in a canvas of W × H (origin top left, y downwards), so the
// scaling can be checked without painting.
namespace joulemap::SparklineGeometry {

inline constexpr double kEdgeMargin = 2;    // the line keeps this clear of the top and bottom
inline constexpr double kMinRange = 0.001;  // a constant series still gets a finite scale
inline constexpr double kLineWidth = 1.4;
inline constexpr double kAreaOpacity = 0.12;

struct Point {
    double x = 0;
    double y = 0;

    bool operator==(const Point&) const = default;
};

// One point per value, oldest on the left edge and newest on the right. The scale runs from 0
// (or from the minimum when the series dips below zero) to maxValue, or to the series' own
// maximum when absent. Values above maxValue land above the margin: nothing clamps them.
// Fewer than two values give no points, since one point makes no line.
std::vector<Point> points(std::span<const double> values, std::optional<double> maxValue, double width,
                          double height);

}  // namespace joulemap::SparklineGeometry
