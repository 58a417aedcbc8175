#include "SankeyGeometry.h"

#include "NumberFormat.h"
#include "TextTranslation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace joulemap::SankeyGeometry {

namespace {

// Texts.
constexpr SourceText kSourceHeader = JM_TR_NOOP("SankeyGeometry", "入口");
constexpr SourceText kDestinationHeader = JM_TR_NOOP("SankeyGeometry", "去向");
constexpr SourceText kLegendCaption = JM_TR_NOOP("SankeyGeometry", "← 带宽 = 功率");

// Text placement and type.
constexpr double kHeaderTop = 16;
constexpr double kHeaderFontSize = 10;
constexpr double kSourceNameLift = 18;
constexpr double kSourceSubLift = 4;
constexpr double kSourceNameFontSize = 13;
constexpr double kSourceSubFontSize = 10.5;
constexpr double kLabelOffset = 8;
constexpr double kLabelEndMargin = 4;  // between a destination label and the canvas's right edge
constexpr double kOneLineFontSize = 11;
constexpr double kNameFontSize = 12;
constexpr double kFiguresFontSize = 10.5;
constexpr double kTwoLineSpread = 9;
constexpr double kMaxSharePercent = 999;

// Legend.
constexpr std::array<double, 5> kLegendSteps{5, 10, 20, 50, 100};
constexpr double kLegendTargetLength = 50;
constexpr double kLegendTargetSlack = 3;
constexpr double kLegendBarLift = 20;
constexpr double kLegendBarHeight = 4;
constexpr double kLegendTextLift = 18;
constexpr double kLegendTextGap = 4;
constexpr double kLegendFontSize = 10;

// Hit testing: the bar grows sideways over the first 52 points of its label.
constexpr double kHitSideGrowth = 60;
constexpr double kHitVerticalGrowth = 8;
constexpr double kBandHitMargin = 4;

// Particles.
constexpr double kParticlesPerWatt = 0.5;
constexpr int kMinDenseParticles = 3;
constexpr int kSparseParticles = 2;
// The density of a 96 W adapter band; a driver reporting absurd power must not make a frame paint
// (and allocate) millions of particles.
constexpr int kMaxParticlesPerBand = 48;
constexpr double kBaseSpeed = 0.12;
constexpr double kSpeedPerWatt = 0.02;
constexpr double kBaseRadius = 1.0;
constexpr double kRadiusPerWatt = 0.22;
constexpr double kMinRadius = 1.3;
constexpr double kMaxRadius = 2.6;
// Brightness never reaches 0 at the ends, so a particle is faint but visible as it enters.
constexpr double kMinBrightnessT = 0.03;
constexpr double kMaxBrightnessT = 0.97;
constexpr double kBaseOpacity = 0.2;
constexpr double kOpacityPerBrightness = 0.6;

double fractionalPart(double value) { return value - std::floor(value); }

int sharePercent(double powerWatts, double total) {
    const double share = std::trunc(powerWatts / total * 100);
    if (!(share > 0)) return 0;  // also catches NaN from a zero total
    return static_cast<int>(std::min(share, kMaxSharePercent));
}

}  // namespace

Layout computeLayout(const JoulemapData& data, double width, double height) {
    const auto& destinations = data.destinations;
    const auto n = static_cast<double>(destinations.size());
    double total = 0;
    for (const auto& d : destinations) total += d.power;
    if (destinations.empty() || !(total > 0) || width < kMinCanvasWidth || height < kVerticalMargin) {
        return {};
    }

    const double avail = height - kVerticalMargin;
    const double scale = std::max(kMinScale, (kBandFill * avail - kGapAllowance * (n - 1)) / total);
    double gap = avail - kBandFill * scale * total;
    if (n > 1) gap /= n - 1;
    gap = gap < kMinGap ? kMinGap : std::min(gap, kMaxGap);
    const double bandTotal = total * scale;

    Layout layout;
    layout.scale = scale;
    layout.total = total;
    layout.leftNode = {kSourceX, (height - bandTotal) / 2, kNodeWidth, bandTotal};
    layout.rightNodes.reserve(destinations.size());
    layout.leftSlices.reserve(destinations.size());

    const double barX = width - kNodeWidth - kLabelColumnWidth;
    double barY = (height - (bandTotal + (n - 1) * gap)) / 2;
    double sliceY = layout.leftNode.y;
    for (const auto& d : destinations) {
        const double thickness = d.power * scale;
        layout.rightNodes.push_back({barX, barY, kNodeWidth, thickness});
        layout.leftSlices.push_back({kSourceX, sliceY, kNodeWidth, thickness});
        barY += thickness + gap;
        sliceY += thickness;
    }
    return layout;
}

bool shouldDraw(const Layout& layout, double width, double height) {
    return layout.total > 0 && !layout.rightNodes.empty() && width > 1 && height > 1;
}

std::optional<std::string> hitTest(const JoulemapData& data, const Layout& layout, double x, double y) {
    const std::size_t bars = std::min(layout.rightNodes.size(), data.destinations.size());
    for (std::size_t i = 0; i < bars; ++i) {
        const Rect& bar = layout.rightNodes[i];
        if (bar.enlarged(kHitSideGrowth, bar.height / 2 + kHitVerticalGrowth).contains(x, y)) {
            return data.destinations[i].id;
        }
    }
    // The band's bounding box rather than its curved outline: thin bands stay easy to point at.
    const std::size_t bands = std::min(bars, layout.leftSlices.size());
    for (std::size_t i = 0; i < bands; ++i) {
        const Rect& slice = layout.leftSlices[i];
        const Rect& bar = layout.rightNodes[i];
        const bool betweenColumns = x > layout.leftNode.maxX() && x < bar.minX();
        const double top = std::min(slice.minY(), bar.minY()) - kBandHitMargin;
        const double bottom = std::max(slice.maxY(), bar.maxY()) + kBandHitMargin;
        if (betweenColumns && y >= top && y <= bottom) return data.destinations[i].id;
    }
    return std::nullopt;
}

bool isHighlighted(const PowerDestination& destination, const std::optional<std::string>& highlightedId,
                   const std::optional<PowerGroup>& highlightedGroup) {
    return (highlightedId && *highlightedId == destination.id) ||
           (highlightedGroup && *highlightedGroup == destination.group);
}

double alpha(const PowerDestination& destination, const std::optional<std::string>& highlightedId,
             const std::optional<PowerGroup>& highlightedGroup) {
    if (isHighlighted(destination, highlightedId, highlightedGroup)) return 1.0;
    return (highlightedId || highlightedGroup) ? kFadedAlpha : 1.0;
}

double bandCenterX(const Layout& layout) {
    if (layout.rightNodes.empty()) return layout.leftNode.maxX();
    return (layout.leftNode.maxX() + layout.rightNodes.front().minX()) / 2;
}

BandShape bandShape(const Rect& slice, const Rect& bar, double cx) {
    return {
        {slice.maxX(), slice.minY()}, {cx, slice.minY()}, {cx, bar.minY()},   {bar.minX(), bar.minY()},
        {bar.minX(), bar.maxY()},     {cx, bar.maxY()},   {cx, slice.maxY()}, {slice.maxX(), slice.maxY()},
    };
}

double gradientEndX(double width) { return width - kRightMargin; }

Point cubicPoint(Point p0, Point p1, Point p2, Point p3, double t) {
    const double u = 1 - t;
    const double a = u * u * u;
    const double b = 3 * u * u * t;
    const double c = 3 * u * t * t;
    const double d = t * t * t;
    return {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y};
}

int particleCount(double powerWatts) {
    const double count = std::trunc(powerWatts * kParticlesPerWatt);
    // A thin band still shows movement; NaN lands here too.
    if (!(count >= kMinDenseParticles)) return kSparseParticles;
    return static_cast<int>(std::min(count, static_cast<double>(kMaxParticlesPerBand)));
}

double particleSpeed(double powerWatts) { return kBaseSpeed + kSpeedPerWatt * powerWatts; }

double particleRadius(double powerWatts) {
    return std::clamp(kBaseRadius + kRadiusPerWatt * powerWatts, kMinRadius, kMaxRadius);
}

std::vector<Particle> particles(const Rect& slice, const Rect& bar, double cx, double powerWatts,
                                double time) {
    const Point p0{slice.maxX(), slice.midY()};
    const Point p1{cx, slice.midY()};
    const Point p2{cx, bar.midY()};
    const Point p3{bar.minX(), bar.midY()};
    const int count = particleCount(powerWatts);
    const double phase = time * particleSpeed(powerWatts);
    const double radius = particleRadius(powerWatts);

    std::vector<Particle> result;
    result.reserve(static_cast<std::size_t>(count));
    for (int j = 0; j < count; ++j) {
        const double t = fractionalPart(static_cast<double>(j) / count + phase);
        const double brightness =
            std::sin(std::numbers::pi * std::clamp(t, kMinBrightnessT, kMaxBrightnessT));
        result.push_back(
            {cubicPoint(p0, p1, p2, p3, t), radius, kBaseOpacity + kOpacityPerBrightness * brightness});
    }
    return result;
}

std::vector<TextItem> headers(const Layout& layout) {
    if (layout.rightNodes.empty()) return {};
    return {
        {kSourceHeader.str(),
         {layout.leftNode.midX(), kHeaderTop},
         TextAnchor::topCenter,
         kHeaderFontSize,
         FontWeight::semibold,
         TextRole::secondary},
        {kDestinationHeader.str(),
         {layout.rightNodes.front().midX(), kHeaderTop},
         TextAnchor::topCenter,
         kHeaderFontSize,
         FontWeight::semibold,
         TextRole::secondary},
    };
}

std::vector<TextItem> sourceLabels(const JoulemapData& data, const Layout& layout) {
    const Rect& node = layout.leftNode;
    // Centred on the bar, so no wider than twice the room left of its middle.
    const double maxWidth = 2 * node.midX();
    std::vector<TextItem> labels{
        {data.inputName,
         {node.midX(), node.minY() - kSourceNameLift},
         TextAnchor::bottomCenter,
         kSourceNameFontSize,
         FontWeight::semibold,
         TextRole::primary},
        {data.inputSub,
         {node.midX(), node.minY() - kSourceSubLift},
         TextAnchor::bottomCenter,
         kSourceSubFontSize,
         FontWeight::regular,
         TextRole::secondary},
    };
    for (TextItem& label : labels) label.maxWidth = maxWidth;
    return labels;
}

std::vector<TextItem> destinationLabel(const PowerDestination& destination, const Rect& bar, double total,
                                       double canvasWidth) {
    const double x = bar.maxX() + kLabelOffset;
    const double maxWidth = std::max(0.0, canvasWidth - x - kLabelEndMargin);
    if (bar.height < kTwoLineLabelHeight) {
        const std::string figures = " · " + formatWatts(destination.power, false);
        TextItem line{destination.name + figures, {x, bar.midY()},    TextAnchor::leading,
                      kOneLineFontSize,           FontWeight::medium, TextRole::primary};
        line.maxWidth = maxWidth;
        line.keptTailBytes = figures.size();
        return {line};
    }
    const std::string figures =
        formatWatts(destination.power, true) + " · " + formatPercent(sharePercent(destination.power, total));
    return {
        {destination.name,
         {x, bar.midY() - kTwoLineSpread},
         TextAnchor::leading,
         kNameFontSize,
         FontWeight::semibold,
         TextRole::primary,
         maxWidth},
        {figures,
         {x, bar.midY() + kTwoLineSpread},
         TextAnchor::leading,
         kFiguresFontSize,
         FontWeight::regular,
         TextRole::secondary,
         maxWidth},
    };
}

namespace {

struct Extent {
    double top = 0;
    double bottom = 0;
};

Extent lineExtent(const TextItem& item, const LineHeight& lineHeight) {
    const double height = lineHeight(item);
    switch (item.alignment) {
        case TextAnchor::leading:
            return {item.anchor.y - height / 2, item.anchor.y + height / 2};
        case TextAnchor::bottomCenter:
            return {item.anchor.y - height, item.anchor.y};
        case TextAnchor::topCenter:
        case TextAnchor::topLeading:
        case TextAnchor::topTrailing:
            break;
    }
    return {item.anchor.y, item.anchor.y + height};
}

Extent labelExtent(const std::vector<TextItem>& label, const LineHeight& lineHeight) {
    Extent extent{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (const TextItem& line : label) {
        const Extent e = lineExtent(line, lineHeight);
        extent.top = std::min(extent.top, e.top);
        extent.bottom = std::max(extent.bottom, e.bottom);
    }
    return extent;
}

}  // namespace

void spreadLabels(std::vector<std::vector<TextItem>>& labels, const LineHeight& lineHeight, double top,
                  double bottom) {
    std::vector<Extent> extents;
    for (const auto& label : labels) extents.push_back(labelExtent(label, lineHeight));
    std::vector<double> shifts(labels.size(), 0);
    // Down: each label starts no higher than the previous one ends.
    double floor = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (labels[i].empty()) continue;
        shifts[i] = std::max(0.0, floor - extents[i].top);
        floor = extents[i].bottom + shifts[i];
    }
    // Up again from the bottom limit, but never over the top one.
    double ceiling = bottom;
    for (std::size_t i = labels.size(); i-- > 0;) {
        if (labels[i].empty()) continue;
        const double overrun = extents[i].bottom + shifts[i] - ceiling;
        if (overrun > 0) shifts[i] -= std::min(overrun, std::max(0.0, extents[i].top + shifts[i] - top));
        ceiling = extents[i].top + shifts[i];
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        for (TextItem& line : labels[i]) line.anchor.y += shifts[i];
    }
}

double legendWatts(double scale) {
    const double target = kLegendTargetLength / scale - kLegendTargetSlack;
    for (double step : kLegendSteps) {
        if (step >= target) return step;
    }
    // Only reachable below the layout's scale floor; the largest step is still a sane legend.
    return kLegendSteps.back();
}

Legend legend(const Layout& layout, double width, double height) {
    const double watts = legendWatts(layout.scale);
    const double length = watts * layout.scale;
    const double right = width - kRightMargin;
    Legend result;
    result.watts = watts;
    result.bar = {right - length, height - kLegendBarLift, length, kLegendBarHeight};
    result.value = {formatWatts(watts, true), {result.bar.minX() - kLegendTextGap, height - kLegendTextLift},
                    TextAnchor::topTrailing,  kLegendFontSize,
                    FontWeight::regular,      TextRole::secondary};
    result.caption = {kLegendCaption.str(),        {right + kLegendTextGap, height - kLegendTextLift},
                      TextAnchor::topLeading, kLegendFontSize,
                      FontWeight::regular,    TextRole::secondary};
    return result;
}

}  // namespace joulemap::SankeyGeometry
