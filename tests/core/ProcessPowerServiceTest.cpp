#include "ProcessPowerService.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace joulemap;
using namespace joulemap::ProcessPowerService;

using List = std::vector<std::string>;

TEST(ProcessPowerService, ParseTimeFoldsMinutesHoursAndDays) {
    EXPECT_DOUBLE_EQ(parseTime("12:34.50"), 754.5);
    EXPECT_DOUBLE_EQ(parseTime("1:02:03.00"), 3723);
    EXPECT_DOUBLE_EQ(parseTime("1-02:03:04"), 93784);
    EXPECT_DOUBLE_EQ(parseTime("00:00:07"), 7);  // procps prints whole seconds
    EXPECT_DOUBLE_EQ(parseTime("1:xx:30"), 90);  // a piece that does not convert is dropped
    EXPECT_DOUBLE_EQ(parseTime("nan:5"), 5);     // as is one that would poison the sums
    EXPECT_DOUBLE_EQ(parseTime(""), 0);
}

TEST(ProcessPowerService, ParseSnapshotKeepsPathsWithSpacesAndSkipsBadLines) {
    const auto snapshot = parseSnapshot(
        "  101   0:01.50 /Applications/Google Chrome.app/Contents/MacOS/Google  Chrome\n"
        "\n"
        "abc 0:01.00 /bin/bad-pid\n"
        "102 0:02.00\n"
        "103 0:03.00 /usr/bin/first\n"
        "103 0:04.00 /usr/bin/second\n");
    ASSERT_EQ(snapshot.size(), 2u);
    EXPECT_DOUBLE_EQ(snapshot.at(101).first, 1.5);
    EXPECT_EQ(snapshot.at(101).second, "/Applications/Google Chrome.app/Contents/MacOS/Google Chrome");
    EXPECT_EQ(snapshot.at(103), (std::pair<double, std::string>{4.0, "/usr/bin/second"}));
}

TEST(ProcessPowerService, DecodeRulesIsStrictAboutEveryElement) {
    const auto rules = decodeRules(R"([
        {"name": "A", "keywords": ["a"], "excludeKeywords": null, "comment": 1},
        {"name": "B", "anyKeywords": [], "pathContains": ["/b/"]}])");
    ASSERT_TRUE(rules);
    ASSERT_EQ(rules->size(), 2u);
    EXPECT_EQ((*rules)[0], (NameRule{List{"a"}, {}, {}, {}, {}, "A"}));
    EXPECT_EQ((*rules)[1], (NameRule{{}, {}, List{}, {}, List{"/b/"}, "B"}));
    EXPECT_EQ(decodeRules("[]"), std::vector<NameRule>{});

    for (const char* bad :
         {R"([{"name": "A"}, {"keywords": ["b"]}])", R"([{"name": 5}])", R"([{"name": null}])",
          R"([{"name": "A", "keywords": "a"}])", R"([{"name": "A", "allKeywords": ["a", 1]}])",
          R"([{"name": "A"}, 3])", R"({"name": "A"})", R"([{"name": "A"})", ""}) {
        EXPECT_FALSE(decodeRules(bad)) << bad;
    }
}

TEST(ProcessPowerService, LoadRulesTakesTheFirstUsableFile) {
    const auto dir = std::filesystem::temp_directory_path() / "joulemap-rules-test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "empty.json") << "[]";
    std::ofstream(dir / "broken.json") << R"([{"name": "X", "keywords": [1]}])";
    std::ofstream(dir / "good.json") << R"([{"name": "Good", "keywords": ["g"]}])";

    EXPECT_EQ(loadRules({dir / "missing.json", dir / "empty.json", dir / "broken.json", dir / "good.json"}),
              (std::vector<NameRule>{{List{"g"}, {}, {}, {}, {}, "Good"}}));
    EXPECT_EQ(loadRules({dir / "empty.json", dir / "broken.json"}), defaultRules());
    std::filesystem::remove_all(dir);
}

TEST(ProcessPowerService, RuleMatchingCombinesTheLists) {
    EXPECT_TRUE(ruleMatches(NameRule{{}, {}, {}, {}, {}, "All"}, "/anything"));
    EXPECT_FALSE(ruleMatches(NameRule{List{"app"}, {}, {}, List{"helper"}, {}, "Ex"}, "/app/helper"));
    // keywords take precedence over anyKeywords
    EXPECT_FALSE(ruleMatches(NameRule{List{"zzz"}, {}, List{"app"}, {}, {}, "K"}, "/app"));
    EXPECT_TRUE(ruleMatches(NameRule{{}, {}, List{"zzz", "app"}, {}, {}, "Any"}, "/app"));
    EXPECT_TRUE(ruleMatches(NameRule{{}, List{"a", "b"}, {}, {}, {}, "Both"}, "/b/a"));
    EXPECT_FALSE(ruleMatches(NameRule{{}, List{"a", "b"}, {}, {}, {}, "Both"}, "/a"));
    // with pathContains, allKeywords is not consulted
    EXPECT_TRUE(ruleMatches(NameRule{List{"app"}, List{"zzz"}, {}, {}, List{"/opt/"}, "P"}, "/opt/app"));
    EXPECT_FALSE(ruleMatches(NameRule{List{"app"}, {}, {}, {}, List{"/usr/"}, "P"}, "/opt/app"));
    EXPECT_TRUE(ruleMatches(NameRule{List{"app"}, List{"zzz"}, {}, {}, List{}, "P"}, "/opt/app"));
    EXPECT_FALSE(ruleMatches(NameRule{List{"App"}, {}, {}, {}, {}, "Upper"}, "/app"));
}

TEST(ProcessPowerService, DisplayNameFallsBackToBundleThenShortenedFileName) {
    const auto& rules = defaultRules();
    EXPECT_EQ(displayName("/opt/brave.com/brave/chrome_crashpad_handler", rules), "Brave");
    EXPECT_EQ(displayName("/Applications/Safari.app/Contents/MacOS/Safari", rules), "Safari");
    EXPECT_EQ(displayName("/Applications/Utilities/Terminal.app/Contents/MacOS/Terminal", rules),
              "Utilities/Terminal");
    EXPECT_EQ(displayName("/Applications/.app/tool", rules), "tool");
    EXPECT_EQ(displayName("", rules), "其他");
    // Characters are counted, not bytes: 18 stay whole, 19 become 17 and an ellipsis.
    EXPECT_EQ(shorten("/opt/x/abcdefghijklmnopqr"), "abcdefghijklmnopqr");
    EXPECT_EQ(shorten("/opt/x/abcdefghijklmnopqrs"), "abcdefghijklmnopq…");
    EXPECT_EQ(shorten("/opt/一二三四五六七八九十一二三四五六七八/"), "一二三四五六七八九十一二三四五六七八");
    EXPECT_EQ(shorten("一二三四五六七八九十一二三四五六七八九"), "一二三四五六七八九十一二三四五六七…");
}

TEST(ProcessPowerService, SystemProcessesIncludeLinuxSessionDaemons) {
    for (const char* path :
         {"/usr/libexec/trustd", "kernel_task", "/System/Library/CoreServices/Dock.app/x", "/usr/sbin/cupsd",
          "/sbin/init", "/usr/lib/systemd/systemd-journald", "/lib/systemd/systemd-udevd",
          "/usr/lib/xorg/Xorg", "[kworker/0:1-events]", "/usr/bin/Xwayland", "/usr/bin/gnome-shell",
          "/usr/bin/kwin_wayland", "/usr/bin/pipewire-pulse", "/usr/bin/dbus-daemon", "wireplumber"}) {
        EXPECT_TRUE(isSystemProcess(path)) << path;
    }
    for (const char* path : {"/home/me/xorg-notes/render", "/opt/kwinder/kwinder", "/usr/bin/pipewirer", "[",
                             "/usr/bin/firefox", "/opt/google/chrome/chrome"}) {
        EXPECT_FALSE(isSystemProcess(path)) << path;
    }
}

TEST(ProcessPowerService, SharesAreFractionsOfApplicationTimeFollowedBySystem) {
    const std::vector<NameRule> rules{NameRule{List{"chrome"}, {}, {}, {}, {}, "Chrome"}};
    const Snapshot a{{1, {10.0, "/opt/google/chrome/chrome"}},
                     {2, {5.0, "/opt/google/chrome/chrome --type=renderer"}},
                     {3, {1.0, "/opt/google/chrome/chrome --type=gpu"}},
                     {4, {2.0, "/usr/libexec/trustd"}},
                     {5, {7.0, "kernel_task"}},
                     {6, {9.0, "/usr/bin/reused-pid"}},
                     {7, {0.0, "/usr/bin/tiny"}},
                     {8, {3.0, "/usr/bin/editor"}}};
    // Binary fractions keep the sums exact, so equal shares really are equal.
    Snapshot b = a;
    b[1].first += 0.25;
    b[2].first += 0.125;
    b[3].first += 0.125;
    b[4].first += 0.25;
    b[5].first += 0.125;
    b[6].first = 1.0;  // time went down: a new process took the id
    b[7].first += 1.0 / 256;
    b[8].first += 0.5;
    b[9] = {50.0, "/usr/bin/newcomer"};  // only in the second snapshot

    const auto shares = sharesBetween(a, b, rules);
    const double apps = 1 + 1.0 / 256;
    ASSERT_EQ(shares.size(), 3u);
    EXPECT_EQ(shares[0].name, "Chrome");  // ties keep the order of the lowest process id
    EXPECT_EQ(shares[1].name, "editor");
    EXPECT_EQ(shares[0].fraction, 0.5 / apps);  // 'tiny' (0.39 %) is dropped, not renormalised
    EXPECT_EQ(shares[1].fraction, 0.5 / apps);
    EXPECT_EQ(shares[2].name, kSystemShareName);
    EXPECT_DOUBLE_EQ(shares[2].fraction, 0.375 / (0.375 + apps));
    EXPECT_FALSE(shares[0].bundleId);

    b.erase(4);
    b.erase(5);
    const auto noSystem = sharesBetween(a, b, rules);
    ASSERT_EQ(noSystem.size(), 2u);
    EXPECT_EQ(noSystem.back().name, "editor");

    EXPECT_TRUE(sharesBetween(a, a, rules).empty());
    EXPECT_TRUE(sharesBetween({}, b, rules).empty());
    EXPECT_EQ(sharesBetween({{5, {1.0, "kernel_task"}}}, {{5, {2.0, "kernel_task"}}}, rules),
              (std::vector<AppShare>{{kSystemShareName, std::nullopt, 1.0}}));
}
