#include "ChangelogView.h"
#include "HistoryVersionCard.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTest>

#include "support/AppFakes.h"

namespace joulemap {
namespace {

constexpr const char* kReleases = R"({"versions": [
  {"version": "0.3.0", "date": "2027-03-01", "summary": "", "groups": []},
  {"version": "0.2.0", "date": "2027-02-01", "summary": "Second.",
   "groups": [{"kind": "fixed", "title": "F", "items": [{"title": "A fix", "detail": "Why it mattered"}]}]},
  {"version": "0.1.0", "date": "2026-12-07", "summary": "First.", "groups": []}
]})";

class ChangelogViewTest : public ::testing::Test {
protected:
    std::filesystem::path write(const char* name, const char* text) {
        QFile file(prefs_.dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName().toStdString();
    }

    test::Preferences prefs_;
};

TEST_F(ChangelogViewTest, NewestReleaseIsOpenAndOlderOnesOpenOnAClick) {
    ChangelogView view(&prefs_.theme);
    view.setCurrentVersion(QStringLiteral("0.2.0"));
    view.setSources({prefs_.dir.filePath(QStringLiteral("missing.json")).toStdString(), write("bad.json", "{\"versions\": 3}"),
                     write("good.json", kReleases)});
    view.resize(560, 620);
    view.show();

    ASSERT_NE(view.latestCard(), nullptr);
    ASSERT_EQ(view.olderCards().size(), 2u);
    HistoryVersionCard* second = view.olderCards()[0];
    EXPECT_TRUE(second->isCurrent());
    EXPECT_FALSE(view.olderCards()[1]->isCurrent());
    EXPECT_FALSE(second->isExpanded());

    const int closedHeight = second->heightForWidth(500);
    QTest::mouseClick(second, Qt::LeftButton, {}, second->headerRect().center().toPoint());
    EXPECT_TRUE(second->isExpanded());
    EXPECT_TRUE(QTest::qWaitFor([&] { return second->heightForWidth(500) > closedHeight + 20; }, 2000));

    // The keyboard closes it again, back to its closed height.
    QTest::keyClick(second, Qt::Key_Space);
    EXPECT_FALSE(second->isExpanded());
    EXPECT_TRUE(QTest::qWaitFor([&] { return second->heightForWidth(500) == closedHeight; }, 2000));
}

TEST_F(ChangelogViewTest, WithoutAFileOnlyTheHeaderRemainsAndWithoutAVersionNoneIsCurrent) {
    ChangelogView view(&prefs_.theme);
    view.setCurrentVersion({});
    view.setSources({write("bad.json", "not json")});
    EXPECT_EQ(view.latestCard(), nullptr);
    EXPECT_TRUE(view.olderCards().empty());
    EXPECT_EQ(view.currentVersionText(), QStringLiteral("当前版本 —"));

    // Releases but no running version: none is marked.
    view.setSources({write("good.json", kReleases)});
    ASSERT_EQ(view.olderCards().size(), 2u);
    for (const HistoryVersionCard* card : view.olderCards()) EXPECT_FALSE(card->isCurrent());
}

TEST_F(ChangelogViewTest, FollowsTheThemeItIsGiven) {
    ChangelogView view(&prefs_.theme);
    view.resize(560, 620);
    const auto cornerLightness = [&view] { return view.grab().toImage().pixelColor(2, 2).lightness(); };
    prefs_.theme.setTheme(AppTheme::light);
    EXPECT_GT(cornerLightness(), 200);
    prefs_.theme.setTheme(AppTheme::dark);
    EXPECT_LT(cornerLightness(), 60);
}

}  // namespace
}  // namespace joulemap
