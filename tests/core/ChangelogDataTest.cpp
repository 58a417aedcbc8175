#include <tuple>

#include "ChangelogData.h"
#include "TestSupport.h"

using namespace joulemap;

namespace fs = std::filesystem;

constexpr const char* kValid = R"({
  "versions": [
    {"version": "0.2.0", "date": "2027-01-10", "summary": "", "extra": 1,
     "groups": [{"kind": "fixed", "title": "Fixes", "items": [{"title": "A", "detail": ""}]}]},
    {"version": "0.1.0", "date": "2026-12-07", "summary": "First.",
     "groups": [{"kind": "added", "title": "New", "items": [{"title": "B", "detail": "Why"}]},
                {"kind": "Added", "title": "Odd", "items": []}]}
  ]
})";

TEST(ChangelogDataTest, DecodesReleasesInFileOrder) {
    EXPECT_EQ(
        ChangelogData::decode(kValid),
        (ChangelogData::Root{
            {{"0.2.0", "2027-01-10", "", {{"fixed", "Fixes", {{"A", ""}}}}},
             {"0.1.0", "2026-12-07", "First.", {{"added", "New", {{"B", "Why"}}}, {"Added", "Odd", {}}}}}}));
}

TEST(ChangelogDataTest, AnyMissingKeyOrWrongTypeMakesTheWholeFileUnreadable) {
    const char* cases[] = {
        "",
        "not json",
        R"([])",
        R"({})",
        R"({"versions": {}})",
        R"({"versions": [1]})",
        R"({"versions": [{"version": "1", "date": "d", "groups": []}]})",
        R"({"versions": [{"version": 1, "date": "d", "summary": "", "groups": []}]})",
        R"({"versions": [{"version": "1", "date": "d", "summary": null, "groups": []}]})",
        R"({"versions": [{"version": "1", "date": "d", "summary": "", "groups": [{"kind": "added", "items": []}]}]})",
        R"({"versions": [{"version": "1", "date": "d", "summary": "", "groups": [{"kind": "added", "title": "t", "items": [{"title": "x"}]}]}]})",
        R"({"versions": [{"version": "1", "date": "d", "summary": "", "groups": [{"kind": "added", "title": "t", "items": [{"title": "x", "detail": 2}]}]}]})",
        "{\"versions\": [{\"version\": \"\xff\", \"date\": \"d\", \"summary\": \"\", \"groups\": []}]}",
        R"({"versions": []} trailing)",
    };
    for (const char* json : cases) EXPECT_FALSE(ChangelogData::decode(json)) << json;
    EXPECT_TRUE(ChangelogData::decode(R"({"versions": []})"));
}

TEST(ChangelogDataTest, LoadsTheFirstCandidateThatReadsAndDecodes) {
    const TempDir temp("changelog");
    const fs::path& dir = temp.path();
    fs::create_directories(dir / "folder.json");
    const auto write = [&](const char* name, const std::string& text) {
        std::ofstream(dir / name) << text;
        return dir / name;
    };
    const fs::path malformed = write("malformed.json", R"({"versions": [{"version": "9"}]})");
    const fs::path valid = write("valid.json", kValid);
    const fs::path alsoValid = write("later.json", R"({"versions": []})");

    EXPECT_EQ(
        ChangelogData::loadFrom({dir / "missing.json", dir / "folder.json", malformed, valid, alsoValid}),
        ChangelogData::decode(kValid));
    EXPECT_TRUE(ChangelogData::loadFrom({dir / "missing.json", malformed}).versions.empty());
}

TEST(ChangelogDataTest, CandidatesRunFromTheInstalledDataUpToTheWorkingDirectory) {
    const std::vector<fs::path> expected{
        "/opt/jm/bin/../share/joulemap/versions.json", "/opt/jm/bin/../../../versions.json",
        "/opt/jm/bin/../../../../versions.json", "/opt/jm/bin/../../../../../versions.json", "versions.json"};
    EXPECT_EQ(ChangelogData::candidates("/opt/jm/bin"), expected);
    EXPECT_EQ(ChangelogData::candidates({}), std::vector<fs::path>{"versions.json"});
}

TEST(ChangelogDataTest, GroupLabelsMatchKindsExactly) {
    const std::tuple<const char*, std::string, std::optional<std::string_view>> cases[] = {
        {"added", "新增", "#30D158"}, {"changed", "变更", "#64D2FF"}, {"fixed", "修复", "#FF9F0A"},
        {"Added", "其他", std::nullopt}, {"", "其他", std::nullopt},
    };
    for (const auto& [kind, text, color] : cases) {
        const ChangelogData::GroupLabel label = ChangelogData::groupLabel(kind);
        EXPECT_EQ(label.text.str(), text) << kind;
        EXPECT_EQ(label.colorHex, color) << kind;
    }
}
