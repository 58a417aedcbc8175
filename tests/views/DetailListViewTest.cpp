#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include <variant>

#include "AppTheme.h"
#include "DetailListView.h"
#include "WidgetPixels.h"
#include "support/AppFakes.h"

namespace joulemap {
namespace {

using test::countNear;

constexpr int kWidth = 300;

const std::vector<PowerDestination> kSnapshot{
    {"display", "屏幕", "☀️", "#ff9f0a", PowerGroup::hardware, 3.0},
    {"Safari", "Safari", "🧭", "#ff453a", PowerGroup::app, 2.0},
    {"cpu", "CPU/系统", "⚙", "#30d158", PowerGroup::hardware, 4.0},
    {"Music", "Music", "🎵", "#bf5af2", PowerGroup::app, 2.5},
};

// Every report of the two callbacks, in order.
using Report = std::variant<std::optional<std::string>, std::optional<PowerGroup>>;

class DetailListViewTest : public ::testing::Test {
protected:
    DetailListViewTest() {
        view_.setThemeManager(&prefs_.theme);
        view_.setDestinations(kSnapshot);
        view_.onHoverItem = [this](std::optional<std::string> id) { reports_.emplace_back(std::move(id)); };
        view_.onHoverGroup = [this](std::optional<PowerGroup> group) { reports_.emplace_back(group); };
        view_.resize(kWidth, view_.sizeHint().height());
        render();  // lays the list out at its width
    }

    QImage render() { return test::renderWidget(view_, {kWidth, view_.sizeHint().height()}); }

    // Content coordinates → the rendered image's.
    QPoint inImage(QPointF point) const { return view_.listContent()->mapTo(&view_, point.toPoint()); }

    // On the row's centre line, `dx` right of its left edge: 8 is the middle of its dot.
    QRgb rowPixel(const QImage& image, const std::string& id, double dx = 8) const {
        const QRectF row = *view_.rowRect(id);
        return image.pixel(inImage({row.left() + dx, row.center().y()}));
    }

    void moveTo(QPointF point) {
        QMouseEvent move(QEvent::MouseMove, point, view_.listContent()->mapToGlobal(point), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view_.listContent(), &move);
    }
    void clickAt(QPointF point) {
        const QPointF global = view_.listContent()->mapToGlobal(point);
        QMouseEvent press(QEvent::MouseButtonPress, point, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, point, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view_.listContent(), &press);
        QApplication::sendEvent(view_.listContent(), &release);
    }

    test::Preferences prefs_;
    DetailListView view_;
    std::vector<Report> reports_;
};

TEST_F(DetailListViewTest, BlocksInFixedOrderAndEmptyGroupKeepsAnEmptyBar) {
    const QRectF hardware = *view_.headerRect(PowerGroup::hardware);
    const QRectF apps = *view_.headerRect(PowerGroup::app);
    const QRectF battery = *view_.headerRect(PowerGroup::battery);
    // Larger power first within a block.
    const std::vector<double> tops{
        hardware.top(), view_.rowRect("cpu")->top(),    view_.rowRect("display")->top(),
        apps.top(),     view_.rowRect("Safari")->top(), battery.top()};
    EXPECT_TRUE(std::is_sorted(tops.begin(), tops.end()));

    const QImage image = render();
    const auto area = [&](QRectF header) { return QRect(inImage(header.topLeft()), header.size().toSize()); };
    EXPECT_GT(countNear(image, area(apps), QColor(0x0a, 0x84, 0xff)), 5);      // 45 % of the app bar
    EXPECT_EQ(countNear(image, area(battery), QColor(0xff, 0xd6, 0x0a), 40), 0);  // nothing to fill
}

TEST_F(DetailListViewTest, ScrolledListLetsTheCardShowThrough) {
    for (const AppTheme theme : {AppTheme::light, AppTheme::dark}) {
        prefs_.theme.setTheme(theme);
        // Left of the rows, inside the card: nothing is drawn there but the card itself.
        const QPoint margin = inImage({6, view_.rowRect("Safari")->center().y()});
        EXPECT_TRUE(test::near(render().pixel(margin), test::overBackdrop(palette(theme).cardBackground)))
            << token(theme).toStdString();
    }
}

TEST_F(DetailListViewTest, ClickOnHeaderCollapsesAndExpandsTheGroup) {
    clickAt(view_.headerRect(PowerGroup::app)->center());
    EXPECT_EQ(view_.collapsed(), (std::set<std::string>{"应用"}));
    EXPECT_FALSE(view_.rowRect("Safari").has_value());
    EXPECT_TRUE(view_.headerRect(PowerGroup::app).has_value());  // header, subtotal and share stay
    EXPECT_TRUE(view_.rowRect("cpu").has_value());

    clickAt(view_.headerRect(PowerGroup::app)->center());
    EXPECT_TRUE(view_.collapsed().empty() && view_.rowRect("Safari"));
}

TEST_F(DetailListViewTest, HoverReportsRowsAndHeadersAndTheirLeaving) {
    moveTo(view_.rowRect("Music")->center());
    moveTo(view_.rowRect("Music")->center() + QPointF(3, 0));  // same row: no new report
    moveTo(view_.headerRect(PowerGroup::battery)->center());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view_.listContent(), &leave);

    EXPECT_EQ(reports_, (std::vector<Report>{
                            std::optional<std::string>("Music"), std::optional<std::string>(),
                            std::optional<PowerGroup>(PowerGroup::battery), std::optional<PowerGroup>()}));
}

TEST_F(DetailListViewTest, EmphasisedRowStaysOpaqueWhileOthersFade) {
    view_.setHighlight("Music", std::nullopt);
    const QImage image = render();
    EXPECT_TRUE(test::near(rowPixel(image, "Music"), QColor(0xbf, 0x5a, 0xf2)));
    EXPECT_FALSE(test::near(rowPixel(image, "Safari"), QColor(0xff, 0x45, 0x3a), 40));  // 0.3
    EXPECT_FALSE(test::near(rowPixel(image, "cpu"), QColor(0x30, 0xd1, 0x58), 40));     // 0.4 × 0.3

    // The emphasised row sits on a faint background of the text colour; the others on the card.
    EXPECT_NE(rowPixel(image, "Music", 2), rowPixel(image, "Safari", 2));

    // Without emphasis every row is drawn in full.
    view_.setHighlight(std::nullopt, std::nullopt);
    EXPECT_TRUE(test::near(rowPixel(render(), "cpu"), QColor(0x30, 0xd1, 0x58)));
}

}  // namespace
}  // namespace joulemap
