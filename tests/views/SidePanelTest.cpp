#include <gtest/gtest.h>

#include <QScrollBar>

#include "SidePanel.h"

namespace joulemap {
namespace {

// A card with a fixed natural height and, for the flexible one, a minimum.
class Card : public QWidget {
public:
    Card(int natural, int minimum) : natural_(natural), minimum_(minimum) {}
    QSize sizeHint() const override { return {300, natural_}; }
    QSize minimumSizeHint() const override { return {200, minimum_}; }

private:
    int natural_;
    int minimum_;
};

TEST(SidePanelTest, TheListGivesUpHeightBeforeThePanelScrolls) {
    constexpr int kSpacing = 12;
    SidePanel panel(kSpacing);
    auto* list = new Card(500, 100);
    auto* health = new Card(140, 140);
    auto* info = new Card(160, 160);
    panel.setCards({list, health, info});
    panel.resize(300, 600);
    panel.show();

    EXPECT_EQ(list->geometry(), QRect(0, 0, 300, 600 - 140 - 160 - 2 * kSpacing));
    EXPECT_EQ(health->geometry(), QRect(0, list->geometry().bottom() + 1 + kSpacing, 300, 140));
    EXPECT_EQ(info->geometry().bottom() + 1, 600);
    EXPECT_EQ(panel.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    // A hidden card leaves its room to the list.
    health->hide();
    panel.resize(300, 601);
    EXPECT_EQ(list->height(), 601 - 160 - kSpacing);
    health->show();

    // Too short for every card at its minimum: nothing overlaps, the column scrolls, and the list
    // takes its full height so it does not scroll inside the scrolling column.
    panel.resize(300, 350);
    EXPECT_EQ(list->height(), 500);
    EXPECT_GE(health->y(), list->geometry().bottom() + 1 + kSpacing);
    EXPECT_GE(info->y(), health->geometry().bottom() + 1 + kSpacing);
    EXPECT_EQ(panel.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_LT(info->width(), 300);
}

}  // namespace
}  // namespace joulemap
