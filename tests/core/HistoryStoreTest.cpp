#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <climits>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "HistoryStore.h"

namespace joulemap {
namespace {

namespace fs = std::filesystem;

constexpr double kNow = 1'700'000'000.25;
constexpr int64_t kBase = 1'700'000'000;
constexpr int64_t kDay = 86'400;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& bytes, std::streamoff offset = 0) {
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    if (!out) out.open(path, std::ios::binary | std::ios::out);
    out.seekp(offset);
    out << bytes;
}

class HistoryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The process id keeps parallel runs of the suite out of each other's way.
        dir = fs::temp_directory_path() /
              ("joulemap-history-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path file() const { return dir / "Joulemap" / "history.db"; }
    std::unique_ptr<HistoryStore> open() {
        return std::make_unique<HistoryStore>(file(), [this] { return now; });
    }
    std::vector<int64_t> timestamps(HistoryStore& store, int64_t hours) {
        std::vector<int64_t> result;
        for (const auto& record : store.query(hours)) result.push_back(record.ts);
        return result;
    }

    fs::path dir;
    double now = kNow;
};

// A second connection to the same file, as another program editing the history would hold.
struct RawConnection {
    explicit RawConnection(const fs::path& file) { sqlite3_open(file.string().c_str(), &db); }
    ~RawConnection() { sqlite3_close(db); }
    int exec(const std::string& sql) { return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr); }
    sqlite3* db = nullptr;
};

TEST_F(HistoryStoreTest, UnavailableStoreIgnoresWritesAndReadsNothing) {
    writeFile(dir / "plain-file", "x");
    for (const fs::path& path : {dir / "plain-file" / "history.db", fs::path()}) {
        HistoryStore store(path, [this] { return now; });
        EXPECT_FALSE(store.isAvailable()) << path;
        store.insert(1, 2, 3, 4);
        store.insertAlert("highTemp", "t", "b");
        EXPECT_TRUE(store.query(24).empty());
        EXPECT_TRUE(store.queryAlerts(20).empty());
    }
}

TEST_F(HistoryStoreTest, SecondSampleInTheSameSecondReplacesTheFirst) {
    auto store = open();
    ASSERT_TRUE(store->isAvailable());
    store->insert(10, 5, 50, 1);
    now = kNow + 0.5;
    store->insert(20.5, 8, 55, -3.25);
    const auto records = store->query(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], (HistoryStore::Record{double(kBase), kBase, 20.5, 8, 55, -3.25}));
}

TEST_F(HistoryStoreTest, RetentionKeepsExactlyThirtyDaysAndRunsAtMostHourly) {
    auto store = open();
    const int64_t month = 30 * kDay;
    now = kNow - month - 1;
    store->insert(1, 1, 1, 1);  // the first insert always runs the pass
    now = kNow - month;
    store->insert(2, 2, 2, 2);
    now = kNow;
    store->insert(3, 3, 3, 3);  // an hour and more since the last pass: cut-off is kBase - 30 days
    EXPECT_EQ(timestamps(*store, 40 * 24), (std::vector<int64_t>{kBase - month, kBase}));

    // Within the hour nothing is deleted, not even a row far past the limit.
    now = kNow - 40 * kDay;
    store->insert(4, 4, 4, 4);
    now = kNow + 600;
    store->insert(5, 5, 5, 5);
    now = kNow + 3600;
    store->insert(6, 6, 6, 6);
    EXPECT_EQ(timestamps(*store, 50 * 24).front(), kBase - 40 * kDay);

    now = kNow + 3601;
    store->insert(7, 7, 7, 7);
    EXPECT_EQ(timestamps(*store, 50 * 24), (std::vector<int64_t>{kBase, kBase + 600, kBase + 3600, kBase + 3601}));
}

TEST_F(HistoryStoreTest, QueryReturnsSamplesSinceTheWholeSecondMinusTheSpanOldestFirst) {
    auto store = open();
    for (int64_t age : {0, 1, 3600, 3601}) {
        now = kNow - double(age);
        store->insert(double(age), 0, 0, 0);
    }
    now = kNow + 0.7;  // the fraction of the current second does not move the window
    EXPECT_EQ(timestamps(*store, 1), (std::vector<int64_t>{kBase - 3600, kBase - 1, kBase}));
    EXPECT_EQ(timestamps(*store, 0), (std::vector<int64_t>{kBase}));
    EXPECT_TRUE(store->query(-1).empty());
    EXPECT_EQ(store->query(INT64_MAX).size(), 4u);
}

TEST_F(HistoryStoreTest, AlertLogListsTheNewestFirstUpToTheLimitAndReadsNullAsEmpty) {
    auto store = open();
    for (int i = 0; i < 25; ++i) {
        now = kNow + i * 0.5;
        store->insertAlert("highTemp", "告警 " + std::to_string(i), "正文");
    }
    const auto alerts = store->queryAlerts(20);
    ASSERT_EQ(alerts.size(), 20u);
    EXPECT_EQ(alerts.front(), (HistoryStore::AlertRecord{25, kNow + 12, "highTemp", "告警 24", "正文"}));
    EXPECT_EQ(alerts.back().title, "告警 5");
    EXPECT_TRUE(store->queryAlerts(0).empty());

    RawConnection other(file());
    ASSERT_EQ(other.exec("INSERT INTO alerts (ts, type, title, body) VALUES (1800000000.5, NULL, NULL, NULL)"), SQLITE_OK);
    EXPECT_EQ(store->queryAlerts(1), (std::vector<HistoryStore::AlertRecord>{{26, 1'800'000'000.5, "", "", ""}}));
}

TEST_F(HistoryStoreTest, ExistingDatabaseIsOpenedWithoutChange) {
    {
        auto first = open();
        first->insert(30, 20, 80, 10);
        first->insertAlert("highDrain", "⚡ 检测到异常耗电", "正文");
    }
    {
        RawConnection other(file());
        ASSERT_EQ(other.exec("INSERT INTO power_log VALUES (1699999000, 1.5, 2.5, 3, -4.5)"), SQLITE_OK);
    }
    now = kNow + 60;
    auto second = open();
    EXPECT_EQ(second->query(1), (std::vector<HistoryStore::Record>{{1699999000, 1699999000, 1.5, 2.5, 3, -4.5},
                                                                   {double(kBase), kBase, 30, 20, 80, 10}}));
    second->insertAlert("highTemp", "t", "b");
    const auto alerts = second->queryAlerts(20);
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[1], (HistoryStore::AlertRecord{1, kNow, "highDrain", "⚡ 检测到异常耗电", "正文"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(file().parent_path()), fs::directory_iterator()), 1);
}

TEST_F(HistoryStoreTest, DamagedFileIsMovedAsideAndAFreshDatabaseTakesItsPlace) {
    fs::create_directories(file().parent_path());
    const std::string garbage(3000, 'x');
    writeFile(file(), garbage);
    const fs::path aside = fs::path(file()) += ".corrupt-1700000000";

    auto store = open();
    ASSERT_TRUE(store->isAvailable());
    store->insert(1, 2, 3, 4);
    EXPECT_EQ(store->query(1).size(), 1u);
    EXPECT_EQ(readFile(aside), garbage);
    store.reset();

    // A database whose table page is overwritten; moved aside in the same second, under a new name.
    writeFile(file(), std::string(4096, '\xff'), 4096);
    store = open();
    ASSERT_TRUE(store->isAvailable());
    EXPECT_TRUE(store->query(1).empty());
    EXPECT_EQ(readFile(aside), garbage);
    EXPECT_TRUE(fs::exists(fs::path(aside) += "-2"));
}

TEST_F(HistoryStoreTest, WriteWaitsForAnotherConnectionHoldingTheLock) {
    auto store = open();
    RawConnection other(file());
    ASSERT_EQ(other.exec("BEGIN IMMEDIATE"), SQLITE_OK);
    std::thread release([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        other.exec("COMMIT");
    });
    store->insert(12, 9, 70, 3);
    release.join();
    EXPECT_EQ(store->query(1).size(), 1u);
}

}  // namespace
}  // namespace joulemap
