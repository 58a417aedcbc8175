#include <gtest/gtest.h>

#include <QLinearGradient>
#include <QPainter>
#include <QTest>

#include "JoulemapData.h"
#include "SankeyGeometry.h"
#include "SankeyView.h"
#include "WidgetPixels.h"

namespace joulemap {
namespace {

namespace geo = SankeyGeometry;

constexpr int kWidth = 700;
constexpr int kHeight = 450;

// Three well separated destinations, no battery among them.
JoulemapData sampleData() {
    return {.inputName = "电源适配器",
            .inputSub = "65W",
            .inputColor = "#30d158",
            .destinations = {{"display", "屏幕", "sun.max.fill", "#ff9f0a", PowerGroup::hardware, 8},
                             {"cpu", "处理器", "cpu", "#0a84ff", PowerGroup::hardware, 12},
                             {"app.editor", "编辑器", "app", "#ff453a", PowerGroup::app, 6}}};
}

QImage paint(SankeyView& view, double timeSeconds = 0, QSize size = {kWidth, kHeight}) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    view.paintFrame(painter, QSizeF(size), timeSeconds);
    return image;
}

QPoint mid(const geo::Rect& r) { return {static_cast<int>(r.midX()), static_cast<int>(r.midY())}; }

int alphaAt(const QImage& image, QPointF at) { return qAlpha(image.pixel(at.toPoint())); }

void expectColor(const QImage& image, QPoint at, const char* hex) {
    const QRgb actual = image.pixel(at);
    EXPECT_TRUE(test::near(actual, QColor(hex), 2) && qAlpha(actual) == 255) << hex << " " << qAlpha(actual);
}

// A point inside band i at the middle between the columns, a quarter of the thickness below its
// top edge: away from the particles, which run along the centre line.
QPointF bandPoint(const geo::Layout& layout, std::size_t i) {
    const geo::Rect& slice = layout.leftSlices[i];
    const double top = (slice.minY() + layout.rightNodes[i].minY()) / 2;
    return {geo::bandCenterX(layout), top + slice.height / 4};
}

class SankeyViewTest : public ::testing::Test {
protected:
    SankeyViewTest() {
        view_.setData(sampleData());
        view_.resize(kWidth, kHeight);
        view_.onSelect = [this](std::optional<std::string> id) { selected_.push_back(std::move(id)); };
        view_.onHover = [this](std::optional<std::string> id) { hovered_.push_back(std::move(id)); };
    }

    void show() {
        view_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
    }

    SankeyView view_;
    const geo::Layout layout_ = geo::computeLayout(sampleData(), kWidth, kHeight);
    std::vector<std::optional<std::string>> selected_;
    std::vector<std::optional<std::string>> hovered_;
};

TEST_F(SankeyViewTest, FramePaintsNodesBandsAndParticlesInTheirColours) {
    const QImage frame = paint(view_);
    expectColor(frame, mid(layout_.leftNode), "#30d158");
    expectColor(frame, mid(layout_.rightNodes[0]), "#ff9f0a");
    expectColor(frame, mid(layout_.rightNodes[2]), "#ff453a");

    // Bands are translucent; outside everything the canvas stays clear.
    EXPECT_NEAR(alphaAt(frame, bandPoint(layout_, 1)), geo::kBandOpacity * 255, 3);
    EXPECT_EQ(alphaAt(frame, {10, kHeight / 2.0}), 0);

    // Particles move with time, and the same time gives the same frame.
    EXPECT_EQ(paint(view_, 0), frame);
    EXPECT_NE(paint(view_, 0.5), frame);
}

TEST_F(SankeyViewTest, HighlightFadesOtherBandsAndMakesTheChosenOneGlow) {
    const QPointF band = bandPoint(layout_, 1);
    // Just above the topmost band, where only its glow can reach.
    const QPointF aboveFirstBand(geo::bandCenterX(layout_),
                                 (layout_.leftSlices[0].minY() + layout_.rightNodes[0].minY()) / 2 - 5);
    const QImage plain = paint(view_);
    EXPECT_EQ(alphaAt(plain, aboveFirstBand), 0);

    // A group no destination belongs to: every band and bar fades, none glows.
    view_.setHighlight(std::nullopt, PowerGroup::battery);
    const QImage faded = paint(view_);
    EXPECT_LT(alphaAt(faded, band), alphaAt(plain, band) / 4);
    EXPECT_EQ(alphaAt(faded, aboveFirstBand), 0);
    EXPECT_LT(qAlpha(faded.pixel(mid(layout_.rightNodes[0]))), 64);

    view_.setHighlight("display", std::nullopt);
    const QImage glowing = paint(view_);
    EXPECT_GT(alphaAt(glowing, aboveFirstBand), 5);
    EXPECT_LT(alphaAt(glowing, band), alphaAt(plain, band) / 4);
    expectColor(glowing, mid(layout_.rightNodes[0]), "#ff9f0a");

    view_.setHighlight(std::nullopt, std::nullopt);
    EXPECT_EQ(paint(view_), plain);
}

TEST(SankeyViewPaintTest, NothingIsDrawnWithoutFlowOrRoom) {
    const auto isBlank = [](const QImage& image) {
        QImage blank(image.size(), QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::transparent);
        return image == blank;
    };
    SankeyView view;
    EXPECT_TRUE(isBlank(paint(view)));
    JoulemapData idle = sampleData();
    for (auto& destination : idle.destinations) destination.power = 0;
    view.setData(idle);
    EXPECT_TRUE(isBlank(paint(view)));

    view.setData(sampleData());
    EXPECT_TRUE(isBlank(paint(view, 0, {300, kHeight})));
    EXPECT_FALSE(isBlank(paint(view)));  // the same view still draws once there is room again
}

TEST_F(SankeyViewTest, ClicksAndHoverReportTheDestinationUnderThePointer) {
    show();
    const QPoint cpuBar = mid(layout_.rightNodes[1]);
    QTest::mouseClick(&view_, Qt::LeftButton, {}, cpuBar);
    QTest::mouseClick(&view_, Qt::LeftButton, {},
                      QPoint(layout_.rightNodes[1].maxX() + 50, cpuBar.y()));  // label
    QTest::mouseClick(&view_, Qt::LeftButton, {}, bandPoint(layout_, 2).toPoint());
    QTest::mouseClick(&view_, Qt::LeftButton, {}, {10, kHeight - 10});
    using Ids = std::vector<std::optional<std::string>>;
    EXPECT_EQ(selected_, (Ids{"cpu", "cpu", "app.editor", std::nullopt}));

    // Pressing on one bar and letting go far away is a drag, not a click.
    selected_.clear();
    QTest::mousePress(&view_, Qt::LeftButton, {}, cpuBar);
    QTest::mouseRelease(&view_, Qt::LeftButton, {}, cpuBar + QPoint(0, 60));
    EXPECT_TRUE(selected_.empty());

    QTest::mouseMove(&view_, mid(layout_.rightNodes[0]));
    QTest::mouseMove(&view_, {10, 10});
    ASSERT_GE(hovered_.size(), 2U);
    EXPECT_EQ(Ids(hovered_.end() - 2, hovered_.end()), (Ids{"display", std::nullopt}));

    QTest::mouseMove(&view_, cpuBar);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&view_, &leave);
    EXPECT_EQ(hovered_.back(), std::nullopt);
}

TEST_F(SankeyViewTest, AnimatesAtFrameRateOnlyWhileVisibleAndActive) {
    const int fastMs = 33;
    const int idleMs = 300'000;
    const QTimer& timer = view_.tickTimer();

    view_.setAnimationActive(true);
    EXPECT_EQ(timer.interval(), idleMs);  // not shown yet
    show();
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), fastMs);

    view_.setAnimationActive(false);
    EXPECT_EQ(timer.interval(), idleMs);
    view_.setAnimationActive(true);
    view_.hide();
    EXPECT_EQ(timer.interval(), idleMs);
    view_.show();
    EXPECT_EQ(timer.interval(), fastMs);

    // Hiding the window that holds the diagram stops the animation too.
    QWidget window;
    auto* embedded = new SankeyView(&window);
    embedded->setAnimationActive(true);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(embedded->tickTimer().interval(), fastMs);
    window.hide();
    EXPECT_EQ(embedded->tickTimer().interval(), idleMs);
    EXPECT_TRUE(embedded->tickTimer().isActive());
}

// Paints a vertical gradient, so a backdrop taken from the wrong place shows.
class GradientWidget : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, QColor(20, 90, 200));
        gradient.setColorAt(1, QColor(240, 200, 40, 128));
        painter.fillRect(rect(), gradient);
    }
};

// Gradients painted through another translation may round a step differently, hence a tolerance.
TEST(SankeyViewBackdropTest, AnimatingViewShowsWhatTheWindowPaintsUnderIt) {
    GradientWidget window;
    window.resize(500, 400);
    auto* card = new GradientWidget(&window);
    card->setGeometry(40, 30, 400, 330);
    auto* view = new SankeyView(card);
    view->setGeometry(20, 25, 300, 260);  // no data: only what lies under it shows
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto settled = [&](bool animating) {
        view->setAnimationActive(animating);
        QTest::qWait(100);  // a few ticks
        EXPECT_EQ(view->testAttribute(Qt::WA_OpaquePaintEvent), animating);
        return window.grab().toImage();
    };

    const QImage painted = settled(false);
    EXPECT_LE(test::largestDifference(settled(true), painted), 1);
    // Moving the card drops the old backdrop at once and takes a new one at the next tick.
    card->move(60, 10);
    EXPECT_FALSE(view->testAttribute(Qt::WA_OpaquePaintEvent));
    const QImage moved = settled(true);
    EXPECT_LE(test::largestDifference(moved, settled(false)), 1);
    EXPECT_GT(test::largestDifference(moved, painted), 1);
}

}  // namespace
}  // namespace joulemap
