#include "DestinationListModel.h"

#include <gtest/gtest.h>

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
    destination("gpu", PowerGroup::hardware, 3.0),     destination("Music", PowerGroup::app, 2.0),
};

}  // namespace

TEST(DestinationListModel, GroupsInFixedOrderWithSortedItemsSubtotalsAndShares) {
    const list::Model model = list::build(kSnapshot);
    EXPECT_DOUBLE_EQ(model.totalWatts, 14.5);
    EXPECT_EQ(list::totalText(model.totalWatts), "合计 14.5 W");

    const auto& [hardware, apps, battery] = model.blocks;
    EXPECT_EQ(hardware.group, PowerGroup::hardware);
    EXPECT_EQ(apps.group, PowerGroup::app);
    EXPECT_EQ(battery.group, PowerGroup::battery);

    // Largest first; equal powers keep the snapshot's order.
    EXPECT_EQ(ids(hardware), (std::vector<std::string>{"cpu", "display", "gpu"}));
    EXPECT_EQ(ids(apps), (std::vector<std::string>{"Safari", "Music", "Mail"}));

    // 10 / 14.5 = 68.97 % and 4.5 / 14.5 = 31.03 %: cut, not rounded.
    EXPECT_EQ(hardware.sharePercent, 68);
    EXPECT_EQ(apps.sharePercent, 31);
    EXPECT_EQ(list::subtotalText(hardware), "10.0 W · 68%");

    // A group without destinations still has a block.
    EXPECT_TRUE(battery.items.empty());
    EXPECT_EQ(list::subtotalText(battery), "0.0 W · 0%");
    EXPECT_EQ(list::blockLabel(PowerGroup::battery), "🔋 电池");

    EXPECT_DOUBLE_EQ(list::rowBarFraction(4.0, model.totalWatts), 4.0 / 14.5);
}

TEST(DestinationListModel, AllZeroPowersGiveEmptySharesAndBars) {
    const list::Model model = list::build({destination("cpu", PowerGroup::hardware, 0),
                                           destination("Safari", PowerGroup::app, 0)});
    EXPECT_DOUBLE_EQ(model.totalWatts, 0);
    for (const auto& block : model.blocks) EXPECT_EQ(block.sharePercent, 0);
    EXPECT_DOUBLE_EQ(list::rowBarFraction(0, model.totalWatts), 0);
    EXPECT_EQ(list::rowPowerText(0), "0.0 W");
}

TEST(DestinationListModel, HighlightedAppFadesOtherBlocksAndItsSiblings) {
    const list::Model model = list::build(kSnapshot);
    const std::optional<std::string> id = "Music";
    const std::optional<PowerGroup> noGroup;
    const auto& [hardware, apps, battery] = model.blocks;

    EXPECT_DOUBLE_EQ(list::blockOpacity(hardware, id, noGroup), 0.4);
    EXPECT_DOUBLE_EQ(list::blockOpacity(apps, id, noGroup), 1.0);
    EXPECT_DOUBLE_EQ(list::blockOpacity(battery, id, noGroup), 0.4);
    for (const auto& item : apps.items) {
        const bool named = item.id == "Music";
        EXPECT_EQ(list::isRowEmphasised(item, id, noGroup), named) << item.id;
        EXPECT_DOUBLE_EQ(list::rowOpacity(item, id, noGroup), named ? 1.0 : 0.3) << item.id;
    }

    // A destination that left the snapshot still counts as emphasised: everything fades.
    const std::optional<std::string> gone = "Xcode";
    for (const auto& block : model.blocks) EXPECT_DOUBLE_EQ(list::blockOpacity(block, gone, noGroup), 0.4);
    EXPECT_DOUBLE_EQ(list::rowOpacity(apps.items[0], gone, noGroup), 0.3);
}

TEST(DestinationListModel, HighlightedGroupEmphasisesAllItsRows) {
    auto snapshot = kSnapshot;
    snapshot.push_back(destination("battery", PowerGroup::battery, 9.0));
    const list::Model model = list::build(snapshot);
    const std::optional<std::string> noId;
    const std::optional<PowerGroup> group = PowerGroup::battery;
    const auto& [hardware, apps, battery] = model.blocks;

    EXPECT_DOUBLE_EQ(list::blockOpacity(hardware, noId, group), 0.4);
    EXPECT_DOUBLE_EQ(list::blockOpacity(apps, noId, group), 0.4);
    EXPECT_DOUBLE_EQ(list::blockOpacity(battery, noId, group), 1.0);
    EXPECT_TRUE(list::isRowEmphasised(battery.items[0], noId, group));
    EXPECT_DOUBLE_EQ(list::rowOpacity(battery.items[0], noId, group), 1.0);
    EXPECT_DOUBLE_EQ(list::rowOpacity(hardware.items[0], noId, group), 0.3);

    // Nothing emphasised: nothing fades.
    EXPECT_DOUBLE_EQ(list::blockOpacity(hardware, noId, std::nullopt), 1.0);
    EXPECT_DOUBLE_EQ(list::rowOpacity(hardware.items[0], noId, std::nullopt), 1.0);
    EXPECT_FALSE(list::isRowEmphasised(hardware.items[0], noId, std::nullopt));
}
