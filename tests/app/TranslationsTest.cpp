#include "Translations.h"

#include <gtest/gtest.h>

#include "HistoryRows.h"

namespace joulemap {
namespace {

TEST(TranslationsTest, ChineseDesktopsKeepTheSourceTextOthersGetEnglish) {
    struct Case {
        const char* preference;
        QStringList uiLanguages;
        bool chinese;
    };
    const Case cases[] = {
        {"system", {"zh-CN", "en-US"}, true},
        {"system", {"zh-TW"}, true},
        {"system", {"en-US", "zh-CN"}, false},
        {"system", {"de-DE"}, false},
        {"system", {"C"}, true},
        {"zh", {"en-US"}, true},
        {"en", {"zh-CN"}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Translations::usesChinese(QString::fromLatin1(c.preference), c.uiLanguages), c.chinese)
            << c.preference << " " << c.uiLanguages.join(u',').toStdString();
    }
}

// The alerts card shows alertHistoryTitle as its title.
TEST(TranslationsTest, EnglishReachesCoreAndViewTextsAndChineseRemovesIt) {
    ASSERT_TRUE(Translations::apply(QStringLiteral("en")));
    EXPECT_EQ(recordCountText(1), "1 record");
    EXPECT_EQ(recordCountText(40), "40 records");
    EXPECT_EQ(alertHistoryTitle(0), "Alerts (last 0)");

    ASSERT_TRUE(Translations::apply(QStringLiteral("zh")));
    EXPECT_EQ(recordCountText(40), "40 条记录");
    EXPECT_EQ(alertHistoryTitle(0), "告警历史（最近 0 条）");
}

}  // namespace
}  // namespace joulemap
