#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "HistoryStore.h"
#include "TestSupport.h"

namespace joulemap {
namespace {

namespace fs = std::filesystem;

constexpr double kNow = 1'700'000'000.25;
constexpr int64_t kBase = 1'700'000'000;
constexpr int64_t kDay = 86'400;

void writeFile(const fs::path& path, const std::string& bytes, std::streamoff offset = 0) {
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    if (!out) out.open(path, std::ios::binary | std::ios::out);
    out.seekp(offset);
    out << bytes;
}

class HistoryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        // In memory where possible (thousands of commits); the pid keeps parallel runs apart.
        const fs::path shm = "/dev/shm";
        dir = (::access(shm.c_str(), W_OK) == 0 ? shm : fs::temp_directory_path()) /
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
    void insertAt(HistoryStore& store, double seconds) {
        now = seconds;
        store.insert(1, 1, 1, 1);
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
    store->insert(10, 5, 50, 1);
    now = kNow + 0.5;
    store->insert(20.5, 8, 55, -3.25);
    EXPECT_EQ(store->query(1),
              (std::vector<HistoryStore::Record>{{double(kBase), kBase, 20.5, 8, 55, -3.25}}));
}

TEST_F(HistoryStoreTest, RetentionKeepsExactlyThirtyDaysAndRunsAtMostHourly) {
    auto store = open();
    const int64_t month = 30 * kDay;
    // The first insert always runs the pass; the third, an hour and more later, cuts at kBase - 30 days.
    for (const double t : {kNow - month - 1, kNow - month, kNow}) insertAt(*store, t);
    EXPECT_EQ(timestamps(*store, 40 * 24), (std::vector<int64_t>{kBase - month, kBase}));
    // Within the hour nothing is deleted, not even a row far past the limit.
    for (const double t : {kNow - 40 * kDay, kNow + 600, kNow + 3600}) insertAt(*store, t);
    EXPECT_EQ(timestamps(*store, 50 * 24).front(), kBase - 40 * kDay);
    insertAt(*store, kNow + 3601);
    EXPECT_EQ(timestamps(*store, 50 * 24), (std::vector<int64_t>{kBase, kBase + 600, kBase + 3600, kBase + 3601}));
}

TEST_F(HistoryStoreTest, QueryReturnsSamplesSinceTheWholeSecondMinusTheSpanOldestFirst) {
    auto store = open();
    for (const double age : {0, 1, 3600, 3601}) insertAt(*store, kNow - age);
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
    ASSERT_EQ(other.exec("INSERT INTO alerts (ts, type, title, body) VALUES (1800000000.5, NULL, NULL, NULL)"),
              SQLITE_OK);
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
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(file().parent_path())) names.insert(entry.path().filename());
    EXPECT_EQ(names, (std::set<std::string>{"history.db", "history.db.lock"}));
}

// The ranking reads whole hours from the running totals and the hour's start from the rows: a range
// starting inside an hour counts only that hour's rows since its start, and the two agree.
TEST_F(HistoryStoreTest, EnergyRankingCountsExactlyTheRangeAcrossHourBoundaries) {
    auto store = open();
    const int64_t hourStart = kBase - kBase % 3600;
    const std::vector<std::pair<int64_t, std::vector<AppEnergy>>> rows{
        {hourStart - 7200, {{"Firefox", true, 5}}},
        {hourStart - 3600 + 30, {{"Firefox", true, 1}, {"系统", true, 2}}},
        {hourStart - 30, {{"Firefox", true, 0.5}, {"Firefox", false, 4}}},
        {hourStart + 60, {{"终端, \"zsh\"", false, 0.25}, {"Firefox", false, 0}}}};
    for (const auto& [ts, energy] : rows) {
        now = double(ts);
        ASSERT_TRUE(store->insert(1, 1, 50, 0, energy));
    }
    now = double(hourStart + 120);
    // One hour back starts 120 s into the hour before: of it only the row after that counts.
    EXPECT_EQ(store->queryAppEnergy(1),
              (std::vector<AppEnergy>{{"Firefox", false, 4}, {"Firefox", true, 0.5}, {"终端, \"zsh\"", false, 0.25}}));
    EXPECT_EQ(store->queryAppEnergy(2),
              (std::vector<AppEnergy>{
                  {"Firefox", false, 4}, {"系统", true, 2}, {"Firefox", true, 1.5}, {"终端, \"zsh\"", false, 0.25}}));
    EXPECT_EQ(store->queryAppEnergy(3).size(), 4u);
    EXPECT_DOUBLE_EQ(store->queryAppEnergy(3)[0].wh, 6.5);  // Firefox on battery, all three rows
    EXPECT_TRUE(store->queryAppEnergy(-1).empty());
    // The rows as stored, a zero energy left out.
    const auto stored = store->queryEnergyRecords(INT64_MAX);
    ASSERT_EQ(stored.size(), 6u);
    EXPECT_EQ(stored.back(), (HistoryStore::EnergyRecord{hourStart + 60, {"终端, \"zsh\"", false, 0.25}}));

    // Retention removes rows and whole hours older than 30 days together with the samples.
    now = double(hourStart - 3569 + 30 * kDay);
    store->insert(1, 1, 50, 0);
    EXPECT_EQ(store->queryEnergyRecords(INT64_MAX).size(), 3u);
    EXPECT_EQ(store->queryAppEnergy(30 * 24),
              (std::vector<AppEnergy>{{"Firefox", false, 4}, {"Firefox", true, 0.5}, {"终端, \"zsh\"", false, 0.25}}));
}

// A file written before the energy was recorded: it gains the tables, keeps every row, and an export
// may read it read-only beside the writer.
TEST_F(HistoryStoreTest, FileOfTheFirstFormatGainsTheEnergyTablesAndKeepsItsRows) {
    fs::create_directories(file().parent_path());
    {
        RawConnection old(file());
        ASSERT_EQ(old.exec("CREATE TABLE power_log (ts INTEGER PRIMARY KEY, input_w REAL, system_w REAL,"
                           " battery_pct REAL, battery_net_w REAL);"
                           "CREATE INDEX idx_ts ON power_log(ts);"
                           "CREATE TABLE alerts (id INTEGER PRIMARY KEY AUTOINCREMENT, ts REAL, type TEXT, title TEXT,"
                           " body TEXT);"
                           "CREATE INDEX idx_alert_ts ON alerts(ts);"
                           "INSERT INTO power_log VALUES (1699999000, 30, 20, 80, 10);"
                           "INSERT INTO alerts (ts, type, title, body) VALUES (1699999001.5, 'highTemp', 't', 'b');"
                           "PRAGMA user_version = 1;"),
                  SQLITE_OK);
    }
    HistoryStore before(
        file(), [this] { return now; }, HistoryStore::Access::readOnly);
    EXPECT_EQ(before.query(1).size(), 1u);
    EXPECT_TRUE(before.queryAppEnergy(24).empty());  // no table yet: nothing, quietly

    auto store = open();
    EXPECT_FALSE(store->isReadOnly());
    ASSERT_TRUE(store->insert(1, 2, 3, 4, {{"Firefox", true, 0.5}}));
    EXPECT_EQ(store->query(1).size(), 2u);
    EXPECT_EQ(store->queryAlerts(5).size(), 1u);
    EXPECT_EQ(before.queryAppEnergy(24), (std::vector<AppEnergy>{{"Firefox", true, 0.5}}));
    EXPECT_FALSE(before.insert(1, 2, 3, 4));
    RawConnection check(file());
    sqlite3_stmt* version = nullptr;
    sqlite3_prepare_v2(check.db, "PRAGMA user_version", -1, &version, nullptr);
    ASSERT_EQ(sqlite3_step(version), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(version, 0), HistoryStore::kSchemaVersion);
    sqlite3_finalize(version);

    // Read-only never creates a file that is not there.
    HistoryStore missing(
        dir / "none.db", [this] { return now; }, HistoryStore::Access::readOnly);
    EXPECT_FALSE(missing.isAvailable());
    EXPECT_FALSE(fs::exists(dir / "none.db"));
}

TEST_F(HistoryStoreTest, DamagedFileIsMovedAsideAndAFreshDatabaseTakesItsPlace) {
    fs::create_directories(file().parent_path());
    const std::string garbage(3000, 'x');
    writeFile(file(), garbage);
    const fs::path aside = fs::path(file()) += ".corrupt-1700000000";

    auto store = open();
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
    // Longer than one busy wait inside SQLite, well within the bounded attempts.
    std::thread release([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        other.exec("COMMIT");
    });
    EXPECT_TRUE(store->insert(12, 9, 70, 3));
    release.join();
    EXPECT_EQ(store->query(1).size(), 1u);
}

// Collects what the store reports, for the length of one test.
struct CapturedLog {
    CapturedLog() {
        HistoryStore::setLogSink([this](const std::string& line) { text += line + "\n"; });
    }
    ~CapturedLog() { HistoryStore::setLogSink({}); }
    std::string text;
};

// Runs body in a child process, all children released at once; returns the exit status of each.
std::vector<int> inChildren(int count, const std::function<int(int child)>& body) {
    int gate[2];
    if (::pipe(gate) != 0) return {};
    std::vector<pid_t> pids;
    for (int child = 0; child < count; ++child) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(gate[1]);
            char byte;
            while (::read(gate[0], &byte, 1) < 0 && errno == EINTR) continue;
            ::_exit(body(child));
        }
        pids.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);  // end of file on the gate starts them all
    std::vector<int> statuses;
    for (const pid_t pid : pids) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        statuses.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return statuses;
}

// Writes `rows` samples one second apart into a fresh database, as months of use would leave them.
void fillDatabase(const fs::path& file, int64_t rows) {
    HistoryStore{file, [] { return kNow; }};
    RawConnection db(file);
    db.exec("BEGIN");
    for (int64_t i = 0; i < rows; ++i) {
        db.exec("INSERT INTO power_log VALUES (" + std::to_string(kBase - i) + ", " + std::to_string(i) +
                ", 1.5, 50, -2)");
    }
    db.exec("COMMIT");
}

std::vector<fs::path> asideFiles(const fs::path& dir) {
    std::vector<fs::path> result;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename().string().find(".corrupt-") != std::string::npos) result.push_back(entry.path());
    }
    return result;
}

TEST_F(HistoryStoreTest, TwoProcessesWritingAtOnceLoseNoSampleEvenWhenBothFindTheFileDamaged) {
    for (const bool damaged : {false, true}) {
        const int samplesEach = damaged ? 200 : 3000;
        SCOPED_TRACE(damaged ? "damaged" : "sound");
        fs::remove_all(file().parent_path());
        fs::create_directories(file().parent_path());
        // Rows to rescue keep the first opener repairing for a while, when the second one arrives.
        if (damaged) {
            fillDatabase(file(), 3000);
            fs::resize_file(file(), fs::file_size(file()) - 100);
        }
        const auto statuses = inChildren(2, [this, samplesEach](int child) {
            int64_t i = 0;
            // Interleaved seconds, so no sample replaces the other process's.
            HistoryStore store(file(), [&i, child] { return double(kBase + 2 * i + child); });
            int lost = 0;
            for (; i < samplesEach; ++i) lost += store.insert(1, 2, 3, 4) ? 0 : 1;
            return std::min(lost, 100);
        });
        EXPECT_EQ(statuses, (std::vector<int>{0, 0}));
        // Moved aside once: the second opener never renames the file the first one repaired.
        EXPECT_EQ(asideFiles(file().parent_path()).size(), damaged ? 1u : 0u);
        now = double(kBase + 2 * samplesEach);
        const auto records = open()->query(24);
        EXPECT_EQ(std::count_if(records.begin(), records.end(), [](const auto& r) { return r.ts >= kBase; }),
                  2 * samplesEach);
    }
}

TEST_F(HistoryStoreTest, DamagedFileKeepsItsReadableRows) {
    constexpr int64_t kRows = 3000;
    constexpr int64_t kPageBytes = 4096;
    struct Damage {
        const char* name;
        std::function<void(const fs::path&)> apply;
        bool hitsRows = false;
    };
    const std::vector<Damage> damages{
        {"last 100 bytes missing", [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) - 100); }},
        // A page of rows (b-tree page type 13) from the middle, so rows on both sides of it survive.
        {"a page of rows in the middle overwritten",
         [](const fs::path& f) {
             const std::string bytes = readFile(f);
             auto page = int64_t(bytes.size()) / kPageBytes / 2;
             while (bytes.at(size_t(page * kPageBytes)) != '\x0d') ++page;
             writeFile(f, std::string(kPageBytes, '\x5a'), page * kPageBytes);
         },
         true}};
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.name);
        fs::remove_all(file().parent_path());
        fs::create_directories(file().parent_path());
        fillDatabase(file(), kRows);
        damage.apply(file());
        const std::string damagedBytes = readFile(file());

        CapturedLog log;
        const auto records = open()->query(24);
        // At most a page or two of rows is lost, and every kept row is the one written.
        EXPECT_GT(records.size(), size_t{kRows - 250});
        EXPECT_LE(records.size(), size_t{kRows} - damage.hitsRows);
        for (const auto& record : records) ASSERT_EQ(record.inputW, double(kBase - record.ts)) << record.ts;
        const auto aside = asideFiles(file().parent_path());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readFile(aside.front()), damagedBytes);
        EXPECT_NE(log.text.find("kept " + std::to_string(records.size()) + " samples"), std::string::npos) << log.text;
    }
}

TEST_F(HistoryStoreTest, KilledWriterLosesNoAcknowledgedSample) {
    open().reset();
    int acks[2];
    ASSERT_EQ(::pipe(acks), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(acks[0]);
        int64_t i = 0;
        HistoryStore store(file(), [&i] { return double(kBase - 100'000 + i); });
        for (;; ++i) {
            if (store.insert(1, 2, 3, 4) && ::write(acks[1], &i, sizeof i) != sizeof i) ::_exit(1);
        }
    }
    ::close(acks[1]);
    std::vector<int64_t> acknowledged;
    int64_t value = 0;
    while (acknowledged.size() < 500 && ::read(acks[0], &value, sizeof value) == sizeof value) {
        acknowledged.push_back(value);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    // Rows acknowledged while the kill was on its way.
    while (::read(acks[0], &value, sizeof value) == sizeof value) acknowledged.push_back(value);
    ::close(acks[0]);

    ASSERT_GE(acknowledged.size(), 500u);
    std::set<int64_t> stored;
    for (const auto& record : open()->query(48)) stored.insert(record.ts);
    for (const int64_t i : acknowledged) ASSERT_TRUE(stored.count(kBase - 100'000 + i)) << i;
}

TEST_F(HistoryStoreTest, NewerFormatIsReadButNeverWritten) {
    open()->insert(1, 2, 3, 4);
    RawConnection(file()).exec("PRAGMA user_version = " + std::to_string(HistoryStore::kSchemaVersion + 1));
    const std::string before = readFile(file());

    CapturedLog log;
    auto store = open();
    EXPECT_TRUE(store->isReadOnly());
    EXPECT_EQ(store->query(1).size(), 1u);
    now += 1;
    EXPECT_FALSE(store->insert(5, 6, 7, 8));
    EXPECT_FALSE(store->insertAlert("highTemp", "t", "b"));
    EXPECT_NE(log.text.find("newer version"), std::string::npos) << log.text;
    EXPECT_NE(log.text.find("not recorded"), std::string::npos) << log.text;
    store.reset();
    EXPECT_EQ(readFile(file()), before);
}

TEST_F(HistoryStoreTest, WriteThatCannotBeStoredIsReported) {
    auto store = open();
    RawConnection(file()).exec("DROP TABLE power_log");
    CapturedLog log;
    EXPECT_FALSE(store->insert(1, 2, 3, 4));
    EXPECT_NE(log.text.find("lost the sample of 1700000000"), std::string::npos) << log.text;
}

TEST_F(HistoryStoreTest, FileWhoseTablesCannotBeMadeOpensReadOnlyAndSaysWhy) {
    fs::create_directories(file().parent_path());
    // A view under the table's name: the table seems to exist, but its index cannot be made.
    RawConnection(file()).exec("CREATE VIEW power_log AS SELECT 1 AS ts");
    CapturedLog log;
    EXPECT_TRUE(open()->isReadOnly());
    EXPECT_NE(log.text.find("could not be created"), std::string::npos) << log.text;
}

TEST_F(HistoryStoreTest, LockGivesOwnershipOnlyToTheFirstAndNeverWhileSomeoneRepairs) {
    fs::create_directories(file().parent_path());
    const fs::path lockFile = fs::path(file()) += ".lock";
    using Role = HistoryFileLock::Role;
    // What another holds (0: nothing) and what the opener becomes.
    const std::pair<int, Role> cases[] = {{0, Role::owner}, {LOCK_SH, Role::sharer}, {LOCK_EX, Role::none}};
    for (const auto& [otherHolds, expected] : cases) {
        const int other = ::open(lockFile.c_str(), O_RDWR | O_CREAT, 0600);
        ASSERT_TRUE(otherHolds == 0 || ::flock(other, otherHolds) == 0);
        HistoryFileLock lock(file(), std::chrono::milliseconds(50));
        EXPECT_EQ(lock.role(), expected) << otherHolds;
        ::close(other);
    }
    // Once the owner shares, a second opener joins instead of checking (and perhaps renaming) the file.
    HistoryFileLock first(file(), std::chrono::milliseconds(0));
    first.share();
    EXPECT_EQ(HistoryFileLock(file(), std::chrono::milliseconds(0)).role(), Role::sharer);
}

}  // namespace
}  // namespace joulemap
