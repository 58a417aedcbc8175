#include "ProcessPowerService.h"

#include <gtest/gtest.h>

#include <cmath>

#include "TestSupport.h"

using namespace joulemap;
using namespace joulemap::ProcessPowerService;

using List = std::vector<std::string>;

TEST(ProcessPowerService, ParseTimeFoldsMinutesHoursAndDays) {
    // procps prints whole seconds; a piece that does not convert, or would poison the sums, is dropped.
    const std::pair<const char*, double> cases[] = {{"12:34.50", 754.5},
                                                    {"1:02:03.00", 3723},
                                                    {"1-02:03:04", 93784},
                                                    {"00:00:07", 7},
                                                    {"1:xx:30", 90},
                                                    {"nan:5", 5},
                                                    {"", 0}};
    for (const auto& [text, seconds] : cases) EXPECT_DOUBLE_EQ(parseTime(text), seconds) << text;
}

TEST(ProcessPowerService, ParseSnapshotKeepsPathsWithSpacesAndSkipsBadLines) {
    EXPECT_EQ(parseSnapshot("  101   0:01.50 /Applications/Google Chrome.app/Contents/MacOS/Google  Chrome\n"
                            "\nabc 0:01.00 /bin/bad-pid\n102 0:02.00\n"
                            "103 0:03.00 /usr/bin/first\n103 0:04.00 /usr/bin/second\n"
                            "104 0:01.00 /usr/libexec/trustd\n"),
              (Snapshot{{101, {1.5, "/Applications/Google Chrome.app/Contents/MacOS/Google Chrome"}},
                        {103, {4.0, "/usr/bin/second"}},
                        {104, {1.0, "/usr/libexec/trustd", true}}}));
}

TEST(ProcessPowerService, DecodeRulesIsStrictAboutEveryElement) {
    EXPECT_EQ(
        decodeRules(R"([
        {"name": "A", "keywords": ["a"], "excludeKeywords": null, "comment": 1},
        {"name": "B", "anyKeywords": [], "pathContains": ["/b/"]}])"),
        (std::vector<NameRule>{{List{"a"}, {}, {}, {}, {}, "A"}, {{}, {}, List{}, {}, List{"/b/"}, "B"}}));
    EXPECT_EQ(decodeRules("[]"), std::vector<NameRule>{});

    for (const char* bad : {R"([{"name": "A"}, {"keywords": ["b"]}])", R"([{"name": 5}])", R"([{"name": null}])",
                            R"([{"name": "A", "keywords": "a"}])", R"([{"name": "A", "allKeywords": ["a", 1]}])",
                            R"([{"name": "A"}, 3])", R"({"name": "A"})", R"([{"name": "A"})", ""}) {
        EXPECT_FALSE(decodeRules(bad)) << bad;
    }
}

TEST(ProcessPowerService, LoadRulesTakesTheFirstUsableFile) {
    const TempDir temp("rules");
    const auto& dir = temp.path();
    std::ofstream(dir / "empty.json") << "[]";
    std::ofstream(dir / "broken.json") << R"([{"name": "X", "keywords": [1]}])";
    std::ofstream(dir / "good.json") << R"([{"name": "Good", "keywords": ["g"]}])";

    EXPECT_EQ(loadRules({dir / "missing.json", dir / "empty.json", dir / "broken.json", dir / "good.json"}),
              (std::vector<NameRule>{{List{"g"}, {}, {}, {}, {}, "Good"}}));
    EXPECT_EQ(loadRules({dir / "empty.json", dir / "broken.json"}), defaultRules());
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
    EXPECT_EQ(displayName("/Applications/Utilities/Terminal.app/Contents/MacOS/Terminal", rules), "Utilities/Terminal");
    EXPECT_EQ(displayName("/Applications/.app/tool", rules), "tool");
    EXPECT_EQ(displayName("", rules), "其他");
    // Characters are counted, not bytes: 18 stay whole, 19 become 17 and an ellipsis.
    EXPECT_EQ(shorten("/opt/x/abcdefghijklmnopqr"), "abcdefghijklmnopqr");
    EXPECT_EQ(shorten("/opt/x/abcdefghijklmnopqrs"), "abcdefghijklmnopq…");
    EXPECT_EQ(shorten("/opt/一二三四五六七八九十一二三四五六七八/"), "一二三四五六七八九十一二三四五六七八");
    EXPECT_EQ(shorten("一二三四五六七八九十一二三四五六七八九"), "一二三四五六七八九十一二三四五六七…");
}

TEST(ProcessPowerService, MacSystemProcessesAreKnownByTheirPaths) {
    for (const char* path : {"/usr/libexec/trustd", "kernel_task", "/System/Library/CoreServices/Dock.app/x",
                             "/usr/sbin/cupsd", "/sbin/launchd"}) {
        EXPECT_TRUE(isSystemProcess(path)) << path;
    }
    for (const char* path : {"/Applications/Safari.app/Contents/MacOS/Safari", "/usr/bin/python3", ""}) {
        EXPECT_FALSE(isSystemProcess(path)) << path;
    }
}

static ProcessRecord process(double cpu, const char* path, int64_t parent = 1, double reaped = 0,
                             uint64_t start = 0) {
    return {cpu, path, false, parent, reaped, start};
}

static ProcessRecord systemProcess(double cpu, const char* path) { return {cpu, path, true, 1}; }

static const std::vector<NameRule> rules{NameRule{List{"chrome"}, {}, {}, {}, {}, "Chrome"}};

TEST(ProcessPowerService, SharesAreFractionsOfApplicationTimeFollowedBySystem) {
    const char* chrome = "/opt/google/chrome/chrome";
    const Snapshot a{{1, process(10.0, chrome)},
                     {2, process(5.0, chrome)},
                     {3, process(1.0, chrome)},
                     {4, systemProcess(2.0, "/usr/sbin/cupsd")},
                     {5, systemProcess(7.0, "[kworker/0:1]")},
                     {7, process(0.0, "/usr/bin/tiny")},
                     {8, process(3.0, "/usr/bin/editor")}};
    // Binary fractions keep the sums exact, so equal shares really are equal.
    Snapshot b = a;
    for (const auto& [pid, seconds] : std::map<int64_t, double>{
             {1, 0.25}, {2, 0.125}, {3, 0.125}, {4, 0.25}, {5, 0.125}, {7, 1.0 / 256}, {8, 0.5}}) {
        b[pid].cpuSeconds += seconds;
    }

    const auto shares = sharesBetween(a, b, rules, 2.0);
    const double apps = 1 + 1.0 / 256;
    // Ties keep the order of the lowest process id; 'tiny' (0.39 %) is dropped, not renormalised.
    EXPECT_EQ(shares,
              (std::vector<AppShare>{{"Chrome", std::nullopt, 0.5 / apps, 25.0},
                                     {"editor", std::nullopt, 0.5 / apps, 25.0},
                                     {kSystemShareName, std::nullopt, 0.375 / (0.375 + apps), 18.75}}));
    // Times no processor can have spent (ps printing garbage) give no share rather than a NaN one.
    for (const double absurd : {parseTime("1e308:00"), 1e308}) {
        Snapshot broken = b;
        broken[4].cpuSeconds = broken[5].cpuSeconds = absurd;
        for (const auto& share : sharesBetween(a, broken, rules, 2.0)) {
            EXPECT_TRUE(std::isfinite(share.fraction) && std::isfinite(share.corePercent)) << share.name;
        }
    }

    b.erase(4);
    b.erase(5);
    const auto noSystem = sharesBetween(a, b, rules, 2.0);
    ASSERT_EQ(noSystem.size(), 2u);
    EXPECT_EQ(noSystem.back().name, "editor");

    EXPECT_TRUE(sharesBetween(a, a, rules, 2.0).empty());
    EXPECT_TRUE(sharesBetween({}, b, rules, 2.0).empty());
    EXPECT_EQ(
        sharesBetween({{5, systemProcess(1.0, "kernel_task")}}, {{5, systemProcess(2.0, "kernel_task")}}, rules, 4.0),
        (std::vector<AppShare>{{kSystemShareName, std::nullopt, 1.0, 25.0}}));
}

// Over a 2 s interval a build script forks compilers: child 11 (seen before, 0.3 s then, ended at
// 0.5 s after reaping its own child 12, seen at 0.1 s, ended at 0.15 s) and children born and reaped
// in between (0.4 s). Its reaped time grows by 0.65 + 0.4; what the first listing already counted of
// 11 and 12 (0.4 s) is not counted again. The monitor itself (pid 60) has a path a rule would take.
TEST(ProcessPowerService, EveryProcessorSecondOfTheIntervalIsChargedOnce) {
    const Snapshot a{{10, process(1.0, "/home/me/build.sh", 1, 5.0, 100)},
                     {11, process(0.3, "/home/me/build.sh", 10, 0.0, 200)},
                     {12, process(0.1, "/usr/bin/cc", 11, 0.0, 300)},
                     {20, process(2.0, "/usr/bin/editor", 1, 0.0, 100)},
                     {40, process(4.0, "/usr/bin/old", 1, 0.0, 100)},
                     {60, process(3.0, "/opt/google/chrome/joulemap", 1, 1.0, 100)},
                     {61, process(9.0, "/opt/google/chrome/chrome", 1, 0.0, 100)}};
    const Snapshot b{{10, process(1.2, "/home/me/build.sh", 1, 5.0 + 0.65 + 0.4, 100)},
                     {20, process(2.2, "/usr/bin/editor", 1, 0.0, 100)},
                     {40, process(0.1, "/usr/bin/reused", 1, 0.0, 900)},  // a new process under an old id
                     {50, process(0.2, "/usr/bin/newcomer", 1, 0.0, 950)},
                     {60, process(3.1, "/opt/google/chrome/joulemap", 1, 1.3, 100)},  // reaped its ps run
                     {61, process(9.1, "/opt/google/chrome/chrome", 1, 0.0, 100)}};

    const auto shares = sharesBetween(a, b, rules, 2.0, 60);
    const std::vector<std::pair<std::string, double>> expected{{"build.sh", 0.85}, {"Joulemap", 0.4}, {"editor", 0.2},
                                                               {"newcomer", 0.2},  {"reused", 0.1},   {"Chrome", 0.1}};
    ASSERT_EQ(shares.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(shares[i].name, expected[i].first) << i;
        EXPECT_NEAR(shares[i].fraction, expected[i].second / 1.85, 1e-9) << expected[i].first;
        EXPECT_NEAR(shares[i].corePercent, expected[i].second / 2.0 * 100, 1e-9) << expected[i].first;
    }
}
