#include "SankeyGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace joulemap;
using namespace joulemap::SankeyGeometry;

namespace {

constexpr double kEps = 1e-9;

PowerDestination dest(std::string id, double power, PowerGroup group = PowerGroup::app) {
    return {id, id, "·", "#0a84ff", group, power};
}

JoulemapData flow(std::vector<PowerDestination> destinations) {
    return {"充电器", "USB-C · 30W", "#30d158", "⚡", std::move(destinations)};
}

void expectRect(const Rect& r, double x, double y, double w, double h) {
    EXPECT_TRUE(std::abs(r.x - x) < 1e-6 && std::abs(r.y - y) < 1e-6 && std::abs(r.width - w) < 1e-6 &&
                std::abs(r.height - h) < 1e-6)
        << r.x << ", " << r.y << ", " << r.width << ", " << r.height;
}

using Placed = std::vector<std::pair<std::string, Point>>;

Placed placed(const std::vector<TextItem>& items) {
    Placed result;
    for (const auto& item : items) result.emplace_back(item.text, item.anchor);
    return result;
}

}  // namespace

TEST(SankeyGeometry, NothingToLayOutGivesTheEmptyLayout) {
    EXPECT_EQ(computeLayout(flow({dest("a", 0), dest("b", 0)}), 700, 450), Layout{});
    EXPECT_EQ(computeLayout(flow({dest("a", 5)}), 313.9, 450), Layout{});
    EXPECT_EQ(computeLayout(flow({dest("a", 5)}), 700, 71.9), Layout{});
    EXPECT_NE(computeLayout(flow({dest("a", 5)}), 314, 72), Layout{});
    EXPECT_FALSE(shouldDraw(Layout{}, 700, 450));
}

// 700 × 450, destinations 10, 5 and 2 W: avail = 378, scale = (0.82 × 378 − 16) ÷ 17
// = 293.96 ÷ 17, bands 293.96 high; the gap (378 − 241.0472) ÷ 2 = 68.48 is limited to 10.
TEST(SankeyGeometry, WorkedLayoutCentresBothColumns) {
    const auto data = flow({dest("a", 10), dest("b", 5), dest("c", 2)});
    const Layout layout = computeLayout(data, 700, 450);
    const double scale = 293.96 / 17;
    EXPECT_NEAR(layout.scale, scale, kEps);
    EXPECT_NEAR(layout.total, 17, kEps);
    expectRect(layout.leftNode, 80, 78.02, 24, 293.96);
    ASSERT_EQ(layout.rightNodes.size(), 3u);
    // The column of 293.96 + 2 × 10 starts at (450 − 313.96) ÷ 2.
    const double above[] = {0, 10, 15};  // watts above each destination
    for (int i = 0; i < 3; ++i) {
        const double height = data.destinations[i].power * scale;
        expectRect(layout.rightNodes[i], 526, 68.02 + above[i] * scale + 10 * i, 24, height);
        expectRect(layout.leftSlices[i], 80, 78.02 + above[i] * scale, 24, height);
    }

    EXPECT_FALSE(shouldDraw(layout, 700, 1));
    EXPECT_EQ(placed(headers(layout)), (Placed{{"入口", {92, 16}}, {"去向", {538, 16}}}));
    const auto source = sourceLabels(data, layout);
    EXPECT_EQ(source[0].text, "充电器");
    EXPECT_NEAR(source[0].anchor.y, 78.02 - 18, 1e-6);
    EXPECT_NEAR(source[1].anchor.y, 78.02 - 4, 1e-6);

    EXPECT_EQ(bandCenterX(layout), 315);
    EXPECT_EQ(gradientEndX(700), 610);
    const Rect& slice = layout.leftSlices[1];
    const Rect& bar = layout.rightNodes[1];
    const double s0 = slice.minY(), s1 = slice.maxY(), b0 = bar.minY(), b1 = bar.maxY();
    EXPECT_EQ(bandShape(slice, bar, 315),
              (BandShape{{104, s0}, {315, s0}, {315, b0}, {526, b0}, {526, b1}, {315, b1}, {315, s1}, {104, s1}}));
}

TEST(SankeyGeometry, SingleCrowdedAndInBetweenColumns) {
    // One destination: bar and slice as high as the source bar, all centred.
    const Layout one = computeLayout(flow({dest("a", 10)}), 400, 300);
    expectRect(one.leftNode, 80, 56.52, 24, 186.96);  // scale 0.82 × 228 ÷ 10
    expectRect(one.rightNodes[0], 226, 56.52, 24, 186.96);
    EXPECT_EQ(one.leftSlices[0], one.leftNode);

    // 20 × 15 W: scale floored at 1.5, the gap of (378 − 369) ÷ 19 raised to 2, and the column
    // runs past the canvas.
    std::vector<PowerDestination> many;
    for (int i = 0; i < 20; ++i) many.push_back(dest("d" + std::to_string(i), 15));
    const Layout crowded = computeLayout(flow(many), 700, 450);
    EXPECT_EQ(crowded.scale, 1.5);
    for (std::size_t i = 1; i < crowded.rightNodes.size(); ++i) {
        EXPECT_NEAR(crowded.rightNodes[i].minY() - crowded.rightNodes[i - 1].maxY(), 2, kEps);
    }
    EXPECT_NEAR(crowded.rightNodes.front().minY(), -19, kEps);  // (450 − (450 + 38)) ÷ 2
    EXPECT_NEAR(crowded.rightNodes.back().maxY(), 469, kEps);

    // Eleven of 0.1 W on 400 × 172: bands 2 high, gap (100 − 1.64) ÷ 10 stays as it is.
    std::vector<PowerDestination> small(11, dest("s", 0.1));
    const Layout between = computeLayout(flow(small), 400, 172);
    EXPECT_NEAR(between.scale, 2 / 1.1, kEps);
    EXPECT_NEAR(between.rightNodes[1].minY() - between.rightNodes[0].maxY(), 9.836, kEps);
    EXPECT_NEAR(between.rightNodes[0].minY(), (172 - 2 - 98.36) / 2, kEps);
}

TEST(SankeyGeometry, HitTestCoversBarsWithLabelStartAndBandBoxes) {
    const auto data = flow({dest("a", 10), dest("b", 5), dest("c", 2)});
    const Layout layout = computeLayout(data, 700, 450);
    const Rect& a = layout.rightNodes[0];
    const Rect& c = layout.rightNodes[2];
    // A bar with its label start, half its height plus 8 above and below; between the columns a
    // band's bounding box, 4 beyond its highest edge (the top of bar a at 68.02); not the source edge.
    const double reach = c.height / 2 + 8;
    const std::tuple<double, double, std::optional<std::string>> cases[] = {
        {a.maxX() + 50, a.midY(), "a"},
        {a.maxX() + 61, a.midY(), std::nullopt},
        {c.maxX() + 59, c.maxY() + reach - 0.5, "c"},
        {c.maxX() + 59, c.maxY() + reach + 0.5, std::nullopt},
        {300, layout.leftSlices[2].midY(), "c"},
        {300, 64.5, "a"},
        {300, 63.5, std::nullopt},
        {104, 150, std::nullopt}};
    for (const auto& [x, y, id] : cases) EXPECT_EQ(hitTest(data, layout, x, y), id) << x << ", " << y;
}

TEST(SankeyGeometry, HighlightFadesEverythingElse) {
    const auto cpu = dest("cpu", 4, PowerGroup::hardware);
    const auto chrome = dest("chrome", 3, PowerGroup::app);
    EXPECT_EQ(alpha(cpu, std::nullopt, std::nullopt), 1.0);
    EXPECT_EQ(alpha(cpu, "cpu", std::nullopt), 1.0);
    EXPECT_EQ(alpha(chrome, "cpu", std::nullopt), 0.12);
    EXPECT_TRUE(isHighlighted(chrome, "cpu", PowerGroup::app));
    // A group nobody belongs to: every band fades and none glows.
    for (const auto& d : {cpu, chrome}) {
        EXPECT_FALSE(isHighlighted(d, std::nullopt, PowerGroup::battery));
        EXPECT_EQ(alpha(d, std::nullopt, PowerGroup::battery), 0.12);
    }
}

TEST(SankeyGeometry, ParticleCountSpeedSizeAndMotion) {
    const std::pair<double, int> counts[] = {{5.9, 2},    {6, 3},
                                             {30, 15},    {9.223372036854775807e18, 48},
                                             {1e300, 48}, {std::numeric_limits<double>::infinity(), 48}};
    for (const auto& [watts, count] : counts) EXPECT_EQ(particleCount(watts), count) << watts;
    EXPECT_NEAR(particleSpeed(10), 0.32, kEps);
    EXPECT_NEAR(particleRadius(5), 2.1, kEps);
    EXPECT_EQ(particleRadius(30), 2.6);

    const Rect slice{80, 100, 24, 60};
    const Rect bar{526, 300, 24, 20};
    const Point p0{104, 130}, p1{315, 130}, p2{315, 310}, p3{526, 310};
    // 6 W: three particles, 0.24 path lengths per second; at 5 s the phase has wrapped to 0.2.
    const auto moved = particles(slice, bar, 315, 6, 5);
    ASSERT_EQ(moved.size(), 3u);
    const Point expected = cubicPoint(p0, p1, p2, p3, 0.2);
    EXPECT_NEAR(moved[0].center.x, expected.x, 1e-6);
    EXPECT_NEAR(moved[0].center.y, expected.y, 1e-6);
    EXPECT_NEAR(moved[0].opacityFactor, 0.2 + 0.6 * std::sin(0.2 * std::numbers::pi), 1e-6);

    // 0 W at time 0: two particles of radius 1.3 at t = 0 and 0.5; the first sits on the source
    // yet is not invisible, because only its brightness is held at t = 0.03.
    const auto still = particles(slice, bar, 315, 0, 0);
    ASSERT_EQ(still.size(), 2u);
    EXPECT_EQ(still[0].center, p0);
    EXPECT_EQ(still[0].radius, 1.3);
    EXPECT_NEAR(still[0].opacityFactor, 0.2 + 0.6 * std::sin(0.03 * std::numbers::pi), 1e-12);
    EXPECT_NEAR(still[1].center.x, 315, 1e-9);
    EXPECT_NEAR(still[1].center.y, 220, 1e-9);
    EXPECT_NEAR(still[1].opacityFactor, 0.8, 1e-12);
}

TEST(SankeyGeometry, LabelsSwitchToTwoLinesAtThirtyPoints) {
    auto chrome = dest("chrome", 3.46);
    chrome.name = "Chrome";
    EXPECT_EQ(placed(destinationLabel(chrome, Rect{526, 100, 24, 29.9}, 17)),
              (Placed{{"Chrome · 3.5W", {558, 114.95}}}));

    chrome.power = 10;
    // 66.7 % cut toward zero.
    EXPECT_EQ(placed(destinationLabel(chrome, Rect{526, 100, 24, 30}, 15)),
              (Placed{{"Chrome", {558, 106}}, {"10.0 W · 66%", {558, 124}}}));
    EXPECT_EQ(destinationLabel(chrome, Rect{0, 0, 24, 40}, 0.001)[1].text, "10.0 W · 999%");
    EXPECT_EQ(destinationLabel(dest("z", 0), Rect{526, 100, 24, 0}, 17)[0].text, "z · 0.0W");
}

TEST(SankeyGeometry, LabelsOfThinBarsMoveApartAndStayInTheirColumn) {
    const auto line = [](double midY) { return std::vector<TextItem>{{"x", {558, midY}, TextAnchor::leading, 10}}; };
    const auto twoLines = [](double midY) {
        return std::vector<TextItem>{{"name", {558, midY - 9}, TextAnchor::leading, 12},
                                     {"1.0 W · 5%", {558, midY + 9}, TextAnchor::leading, 10}};
    };
    const auto lineHeight = [](const TextItem& item) { return item.fontSize * 1.25; };
    const auto anchors = [](const std::vector<std::vector<TextItem>>& labels) {
        std::vector<double> ys;
        for (const auto& label : labels) ys.push_back(label.front().anchor.y);
        return ys;
    };

    // Three one-line labels 4 apart: the first stays, the others move down one line each; a
    // label with room around it stays put.
    std::vector<std::vector<TextItem>> labels{line(100), line(104), line(108), line(200)};
    spreadLabels(labels, lineHeight, 0, 400);
    EXPECT_EQ(anchors(labels), (std::vector<double>{100, 112.5, 125, 200}));

    // Near the bottom limit they move back up instead, a two-line label moving whole.
    labels = {twoLines(60), line(80), line(84)};
    spreadLabels(labels, lineHeight, 0, 90);
    EXPECT_EQ(anchors(labels), (std::vector<double>{40.75, 71.25, 83.75}));
    EXPECT_EQ(labels[0][1].anchor.y - labels[0][0].anchor.y, 18);
}

TEST(SankeyGeometry, LegendPicksARoundValueNearFiftyPoints) {
    // A scale of 6.25 aims at exactly 5 W, one of 1.5 at 30.3 W.
    const std::pair<double, double> cases[] = {{40, 5}, {6.25, 5}, {6.2, 10}, {1.5, 50}};
    for (const auto& [scale, watts] : cases) EXPECT_EQ(legendWatts(scale), watts) << scale;

    Layout floored;
    floored.scale = 1.5;
    const Legend low = legend(floored, 700, 450);
    expectRect(low.bar, 535, 430, 75, 4);
    EXPECT_EQ(placed({low.value, low.caption}), (Placed{{"50.0 W", {531, 432}}, {"← 带宽 = 功率", {614, 432}}}));

    floored.scale = 12;
    const Legend high = legend(floored, 700, 450);
    EXPECT_EQ(high.value.text, "5.0 W");
    EXPECT_EQ(high.bar.width, 60);
}
