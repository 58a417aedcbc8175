#pragma once

#include "JoulemapData.h"
#include "PowerDestination.h"
#include "PowerGroup.h"

#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

// Everything the flow diagram shows, computed without a window: the painter only draws what
// these functions return. Lengths are points (= device-independent pixels), origin top left,
// y growing downwards.
namespace joulemap::SankeyGeometry {

// Layout.
inline constexpr double kMinCanvasWidth = 314;  // below this the columns and labels collide
inline constexpr double kVerticalMargin = 72;   // headers above, legend below
inline constexpr double kBandFill = 0.82;       // share of the free height the bands may take
inline constexpr double kGapAllowance = 8;      // height reserved per gap before scaling
inline constexpr double kMinScale = 1.5;        // points per watt; thinner bands are unreadable
inline constexpr double kMinGap = 2;
inline constexpr double kMaxGap = 10;
inline constexpr double kSourceX = 80;
inline constexpr double kNodeWidth = 24;
inline constexpr double kLabelColumnWidth = 150;  // room for the destination labels
inline constexpr double kRightMargin = 90;        // gradient end and legend end, from the right

// Painting.
inline constexpr double kFadedAlpha = 0.12;
inline constexpr double kBandOpacity = 0.42;
inline constexpr double kGlowBlurRadius = 6;
inline constexpr double kGlowOpacity = 0.3;
inline constexpr double kSourceCornerRadius = 7;
inline constexpr double kDestinationCornerRadius = 5;
inline constexpr double kLegendBarOpacity = 0.5;
inline constexpr double kTwoLineLabelHeight = 30;

// The widget asks for at least this much room and ticks at these periods.
inline constexpr double kMinimumWidth = 200;
inline constexpr double kMinimumHeight = 150;
inline constexpr double kAnimatedTickSeconds = 1.0 / 30.0;
inline constexpr double kIdleTickSeconds = 300;

struct Point {
    double x = 0;
    double y = 0;

    bool operator==(const Point&) const = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const { return x; }
    double maxX() const { return x + width; }
    double midX() const { return x + width / 2; }
    double minY() const { return y; }
    double maxY() const { return y + height; }
    double midY() const { return y + height / 2; }

    // Left and top edges inside, right and bottom edges outside, so touching rectangles never
    // both claim a point.
    bool contains(double px, double py) const {
        return px >= minX() && px < maxX() && py >= minY() && py < maxY();
    }
    bool contains(Point p) const { return contains(p.x, p.y); }

    // Grown by dx on the left and on the right, by dy above and below.
    Rect enlarged(double dx, double dy) const { return {x - dx, y - dy, width + 2 * dx, height + 2 * dy}; }

    bool operator==(const Rect&) const = default;
};

// Element i of rightNodes and leftSlices belongs to data.destinations[i]. The slices tile the
// source bar without gaps. The empty layout (default value) draws nothing.
struct Layout {
    Rect leftNode;
    std::vector<Rect> rightNodes;
    std::vector<Rect> leftSlices;
    double scale = 1;  // points of band thickness per watt
    double total = 0;  // W

    bool operator==(const Layout&) const = default;
};

Layout computeLayout(const JoulemapData& data, double width, double height);

// Whether a frame has anything to draw at all; when false the canvas stays blank, headers and
// legend included.
bool shouldDraw(const Layout& layout, double width, double height);

// id of the destination under (x, y): its bar with the start of its label, else its band's
// bounding box between the columns.
std::optional<std::string> hitTest(const JoulemapData& data, const Layout& layout, double x, double y);

// Emphasis.
bool isHighlighted(const PowerDestination& destination, const std::optional<std::string>& highlightedId,
                   const std::optional<PowerGroup>& highlightedGroup);
double alpha(const PowerDestination& destination, const std::optional<std::string>& highlightedId,
             const std::optional<PowerGroup>& highlightedGroup);

// Bands. A band runs from its slice of the source bar to its destination bar: a cubic along the
// top edge, a straight drop at the bar, a cubic back along the bottom edge, closed.
struct BandShape {
    Point topStart;  // slice maxX, slice minY
    Point topControl1;
    Point topControl2;
    Point topEnd;       // bar minX, bar minY
    Point bottomStart;  // bar minX, bar maxY
    Point bottomControl1;
    Point bottomControl2;
    Point bottomEnd;  // slice maxX, slice maxY

    bool operator==(const BandShape&) const = default;
};

// x of every band's control points: halfway between the two columns.
double bandCenterX(const Layout& layout);
BandShape bandShape(const Rect& slice, const Rect& bar, double cx);
// The band gradient runs from the source colour at leftNode.maxX() to the destination colour here.
double gradientEndX(double width);

// Particles flow along a band's centre line; their number, speed and size grow with the power.
struct Particle {
    Point center;
    double radius = 0;
    double opacityFactor = 0;  // multiply by the band's alpha

    bool operator==(const Particle&) const = default;
};

Point cubicPoint(Point p0, Point p1, Point p2, Point p3, double t);
int particleCount(double powerWatts);
double particleSpeed(double powerWatts);  // path lengths per second
double particleRadius(double powerWatts);
// time in seconds; only differences matter, so any steady clock will do.
std::vector<Particle> particles(const Rect& slice, const Rect& bar, double cx, double powerWatts,
                                double time);

// Texts.
enum class TextAnchor {
    topCenter,
    bottomCenter,
    leading,  // left edge, vertically centred
    topLeading,
    topTrailing,
};
enum class FontWeight { regular, medium, semibold };
enum class TextRole { primary, secondary };  // the theme's primary / secondary label colour

struct TextItem {
    std::string text;
    Point anchor;
    TextAnchor alignment = TextAnchor::topCenter;
    double fontSize = 10;  // pixels
    FontWeight weight = FontWeight::regular;
    TextRole role = TextRole::primary;
    // The text may be at most this wide (pixels; unlimited when infinite). A longer one is cut with
    // an ellipsis before its last `keptTailBytes` bytes, which always show: a destination's figures
    // matter more than the end of its name.
    double maxWidth = std::numeric_limits<double>::infinity();
    std::size_t keptTailBytes = 0;

    bool operator==(const TextItem&) const = default;
};

// "入口" over the source bar, "去向" over the destination column; empty without destinations.
std::vector<TextItem> headers(const Layout& layout);
// The source's name and sub-line, stacked above the source bar and kept inside the canvas.
std::vector<TextItem> sourceLabels(const JoulemapData& data, const Layout& layout);
// One line for a thin bar, name and figures on two lines otherwise, ending before the canvas's
// right edge at canvasWidth. Drawn at full opacity.
std::vector<TextItem> destinationLabel(const PowerDestination& destination, const Rect& bar, double total,
                                       double canvasWidth = std::numeric_limits<double>::infinity());

// Moves whole destination labels (one entry per destination, top to bottom) apart vertically so no
// two share a line: thin bars a few points apart would otherwise stack their labels on each other.
// lineHeight gives the height of a line as the painter sets it. Labels move as little as they can,
// down first and then back up from `bottom` when the column of labels would run past it, never
// above `top`.
using LineHeight = std::function<double(const TextItem&)>;
void spreadLabels(std::vector<std::vector<TextItem>>& labels, const LineHeight& lineHeight, double top,
                  double bottom);

// Scale legend at the bottom right: a bar as thick as a band of `watts`.
double legendWatts(double scale);

struct Legend {
    Rect bar;  // filled with the secondary label colour at kLegendBarOpacity
    double watts = 0;
    TextItem value;
    TextItem caption;

    bool operator==(const Legend&) const = default;
};

Legend legend(const Layout& layout, double width, double height);

}  // namespace joulemap::SankeyGeometry
