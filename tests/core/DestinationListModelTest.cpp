#include "DestinationListModel.h"

#include <gtest/gtest.h>

#include <array>

using namespace joulemap;
namespace list = joulemap::DestinationListModel;

namespace {

PowerDestination destination(std::string id, PowerGroup group, double power) {
    return {.id = id, .name = id, .icon = "", .color = "#0a84ff", .group = group, .power = power};
}

std::vector<std::string> ids(const list::Block& block) {
    std::vector<std::string> result;
    for (const auto& item : block.items) result.push_back(item.id);
    return result;
}

// A laptop on its adapter: three components, three apps, nothing into the battery.
const std::vector<PowerDestination> kSnapshot{
    destination("display", PowerGroup::hardware, 3.0), destination("Safari", PowerGroup::app, 2.0),
    destination("cpu", PowerGroup::hardware, 4.0),     destination("Mail", PowerGroup::app, 0.5),
    destination("gpu", PowerGroup::hardware, 3.0),     destination("Music", PowerGroup::app, 2.0)};

}  // namespace

TEST(DestinationListModel, GroupsInFixedOrderWithSortedItemsSubtotalsAndShares) {
    const list::Model model = list::build(kSnapshot);
    EXPECT_EQ(list::totalText(model.totalWatts), "合计 14.5 W");
    const auto& [hardware, apps, battery] = model.blocks;
    EXPECT_EQ(battery.group, PowerGroup::battery);
    // Largest first; equal powers keep the snapshot's order.
    EXPECT_EQ(ids(hardware), (std::vector<std::string>{"cpu", "display", "gpu"}));
    EXPECT_EQ(ids(apps), (std::vector<std::string>{"Safari", "Music", "Mail"}));
    // 10 / 14.5 = 68.97 % and 4.5 / 14.5 = 31.03 %: cut, not rounded.
    EXPECT_EQ(list::subtotalText(hardware), "10.0 W · 68%");
    EXPECT_EQ(apps.sharePercent, 31);
    // A group without destinations still has a block.
    EXPECT_TRUE(battery.items.empty());
    EXPECT_EQ(list::subtotalText(battery), "0.0 W · 0%");
    EXPECT_DOUBLE_EQ(list::rowBarFraction(4.0, model.totalWatts), 4.0 / 14.5);

    const list::Model idle = list::build({destination("cpu", PowerGroup::hardware, 0)});
    for (const auto& block : idle.blocks) EXPECT_EQ(block.sharePercent, 0);
    EXPECT_DOUBLE_EQ(list::rowBarFraction(0, idle.totalWatts), 0);
}

TEST(DestinationListModel, EmphasisFadesOtherBlocksAndRows) {
    auto snapshot = kSnapshot;
    snapshot.push_back(destination("battery", PowerGroup::battery, 9.0));
    const list::Model model = list::build(snapshot);
    // Per emphasis: the opacity of each block, then whether each app row is emphasised. A
    // destination that left the snapshot ("Xcode") still counts as emphasised: everything fades.
    struct Case {
        std::optional<std::string> id;
        std::optional<PowerGroup> group;
        std::array<double, 3> blockOpacity;
        std::array<bool, 3> appEmphasised;  // Safari, Music, Mail
    };
    const std::vector<Case> cases = {{std::nullopt, std::nullopt, {1, 1, 1}, {false, false, false}},
                                     {"Music", std::nullopt, {0.4, 1, 0.4}, {false, true, false}},
                                     {"Xcode", std::nullopt, {0.4, 0.4, 0.4}, {false, false, false}},
                                     {std::nullopt, PowerGroup::app, {0.4, 1, 0.4}, {true, true, true}}};
    for (const auto& c : cases) {
        const bool anything = c.id || c.group;
        for (size_t b = 0; b < 3; ++b) {
            EXPECT_DOUBLE_EQ(list::blockOpacity(model.blocks[b], c.id, c.group), c.blockOpacity[b]) << b;
        }
        const auto& apps = model.blocks[1].items;
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(list::isRowEmphasised(apps[i], c.id, c.group), c.appEmphasised[i]) << apps[i].id;
            EXPECT_DOUBLE_EQ(list::rowOpacity(apps[i], c.id, c.group), c.appEmphasised[i] || !anything ? 1.0 : 0.3)
                << apps[i].id;
        }
        EXPECT_DOUBLE_EQ(list::rowOpacity(model.blocks[0].items[0], c.id, c.group), anything ? 0.3 : 1.0);
    }
}
