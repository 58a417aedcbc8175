#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "CsvExport.h"
#include "TestSupport.h"

namespace joulemap {
namespace {

namespace fs = std::filesystem;

// A reader written from RFC 4180 alone, so the writer is checked against the format, not itself.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                rows.back().back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                rows.back().back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            rows.emplace_back(1);
            ++i;
        } else {
            rows.back().back() += c;
        }
    }
    if (rows.back() == std::vector<std::string>(1)) rows.pop_back();
    return rows;
}

class CsvExportTest : public ::testing::Test {
protected:
    const ScopedEnv tz{"TZ", "UTC-8"};  // eight hours east of UTC, without needing the time zone database
    const TempDir temp{"csv"};
    const fs::path& dir = temp.path();
    double now = 1'700'000'000;
};

TEST_F(CsvExportTest, NamesSurviveARoundTripAndFiguresIgnoreTheLocale) {
    const std::vector<std::string> names{"plain", "Writer, LibreOffice", "say \"hi\"", "two\nlines", " padded ",
                                         "终端"};
    std::vector<HistoryStore::EnergyRecord> rows;
    for (const std::string& name : names) rows.push_back({1'700'000'000, {name, true, 0.125}});

    std::string apps, samples;
    const auto render = [&] {
        apps = CsvExport::appsCsv(rows);
        samples = CsvExport::samplesCsv({{0, 1'700'000'000, 12.5, 9.75, 80, -2.25}});
    };
    if (!underCommaLocale(render)) render();

    std::vector<std::vector<std::string>> expected{{"time", "app", "on_battery", "wh"}};
    for (const std::string& name : names)
        expected.push_back({"2023-11-15T06:13:20+08:00", name, "1", "0.125"});
    EXPECT_EQ(parseCsv(apps), expected);
    EXPECT_EQ(parseCsv(samples)[1],
              (std::vector<std::string>{"2023-11-15T06:13:20+08:00", "12.5", "9.75", "80", "-2.25"}));
    EXPECT_EQ(CsvExport::number(std::nan("")), "");
}

TEST_F(CsvExportTest, ExportWritesTheThreeFilesOrSaysWhyNot) {
    const fs::path db = dir / "history.db";
    HistoryStore store(db, [this] { return now; });
    // Nothing recorded yet: no files, a reason.
    auto error = CsvExport::exportHistory(store, dir / "out", 30);
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("no history"), std::string::npos) << *error;

    now -= 40 * 86'400;
    store.insert(1, 1, 1, 1, {{"old", false, 1}});
    store.insertAlert("highTemp", "old", "b");
    now += 40 * 86'400 - 60;
    store.insert(20, 15, 60, 5, {{"Firefox", false, 0.1}});
    store.insertAlert("highDrain", "耗电异常", "Chrome, \"85%\"");
    now += 60;
    ASSERT_FALSE(CsvExport::exportHistory(store, dir / "out" / "new", 30));

    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir / "out" / "new")) files.insert(entry.path().filename());
    EXPECT_EQ(files, (std::set<std::string>{"alerts.csv", "apps.csv", "samples.csv"}));  // no temporary left
    EXPECT_EQ(parseCsv(readFile(dir / "out" / "new" / "samples.csv")).size(), 2u);       // the 40-day-old row is out
    EXPECT_EQ(parseCsv(readFile(dir / "out" / "new" / "apps.csv"))[1][1], "Firefox");
    const auto alerts = parseCsv(readFile(dir / "out" / "new" / "alerts.csv"));
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[1][3], "Chrome, \"85%\"");
    EXPECT_EQ(fs::status(dir / "out" / "new" / "apps.csv").permissions() & fs::perms::others_read,
              fs::perms::others_read);

    // A folder that cannot be made (a file is in the way) and a zero day count are refused.
    std::ofstream(dir / "blocker") << "x";
    error = CsvExport::exportHistory(store, dir / "blocker" / "out", 30);
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("blocker"), std::string::npos) << *error;
    EXPECT_TRUE(CsvExport::exportHistory(store, dir / "out", 0));
}

}  // namespace
}  // namespace joulemap
