#include "HistoryStore.h"

#include "AppPaths.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <utility>

namespace joulemap {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSchema = R"sql(
    CREATE TABLE IF NOT EXISTS power_log (
        ts INTEGER PRIMARY KEY,
        input_w REAL,
        system_w REAL,
        battery_pct REAL,
        battery_net_w REAL
    );
    CREATE INDEX IF NOT EXISTS idx_ts ON power_log(ts);
    CREATE TABLE IF NOT EXISTS alerts (
        id INTEGER PRIMARY KEY AUTOINCREMENT,
        ts REAL,
        type TEXT,
        title TEXT,
        body TEXT
    );
    CREATE INDEX IF NOT EXISTS idx_alert_ts ON alerts(ts);
)sql";

constexpr const char* kInsertSample =
    "INSERT OR REPLACE INTO power_log (ts, input_w, system_w, battery_pct, battery_net_w) VALUES (?,?,?,?,?)";
constexpr const char* kInsertAlert = "INSERT INTO alerts (ts, type, title, body) VALUES (?,?,?,?)";
constexpr const char* kReadSamples =
    "SELECT ts, input_w, system_w, battery_pct, battery_net_w FROM power_log WHERE ts >= ? ORDER BY ts";
constexpr const char* kReadAlertsPrefix = "SELECT id, ts, type, title, body FROM alerts ORDER BY ts DESC LIMIT ";
constexpr const char* kRetentionPrefix = "DELETE FROM power_log WHERE ts < ";

constexpr int64_t kSecondsPerHour = 3600;
constexpr double kRetentionIntervalSeconds = 3600;
constexpr int64_t kRetentionSeconds = 30 * 86'400;
// Another process (a second instance, a sqlite3 shell) may hold the write lock for a moment;
// waiting that long is invisible at one sample per 30 s, failing would lose the sample.
constexpr int kBusyTimeoutMs = 2000;
constexpr int kMaxAsideAttempts = 100;

double systemSeconds() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

// Prepared statements live for one call and are finalized on every path out of it.
struct Statement {
    sqlite3_stmt* handle = nullptr;

    Statement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &handle, nullptr) != SQLITE_OK) {
            sqlite3_finalize(handle);
            handle = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(handle); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    explicit operator bool() const { return handle != nullptr; }
};

void execIgnoringErrors(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    sqlite3_free(error);
}

std::string columnText(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    if (text == nullptr) {
        return {};  // NULL, from a database edited outside the program
    }
    return std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
}

sqlite3* openConnection(const fs::path& file) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);  // SQLite hands out a handle even when opening fails
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    return db;
}

bool isDamageCode(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// Opening succeeds on any file because SQLite reads lazily; the first real read is what finds
// a file that is not a database or has damaged pages. A busy or unreadable file is not damage.
bool isDamaged(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &stmt, nullptr);
    bool damaged = isDamageCode(rc);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            const auto* verdict = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            damaged = verdict == nullptr || std::strcmp(verdict, "ok") != 0;
        } else {
            damaged = isDamageCode(rc);
        }
    }
    sqlite3_finalize(stmt);
    return damaged;
}

bool occupied(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

// Renames a damaged database to "<name>.corrupt-<unix time>" beside it, never over an earlier
// one, and never deletes anything, so the rows can still be rescued by hand. Journal files need no
// moving: SQLite rolls back or discards a journal on the first read and checkpoints or discards a
// write-ahead log at close, so none is left to be mistaken for the fresh database's.
bool moveAside(const fs::path& file, int64_t unixTime) {
    fs::path base = file;
    base += ".corrupt-" + std::to_string(unixTime);
    fs::path target = base;
    for (int n = 2; occupied(target); ++n) {
        if (n > kMaxAsideAttempts) {
            return false;
        }
        target = base;
        target += "-" + std::to_string(n);
    }
    std::error_code ec;
    fs::rename(file, target, ec);
    return !ec;
}

}  // namespace

HistoryStore::HistoryStore(const fs::path& dbFile) : HistoryStore(dbFile, systemSeconds) {}

HistoryStore::HistoryStore(const fs::path& dbFile, Clock clock) : clock_(std::move(clock)) {
    open(dbFile);
}

HistoryStore::~HistoryStore() {
    sqlite3_close(db_);
}

HistoryStore& HistoryStore::shared() {
    static HistoryStore store(AppPaths::historyDatabasePath().value_or(fs::path()));
    return store;
}

void HistoryStore::open(const fs::path& dbFile) {
    if (dbFile.empty()) {
        return;  // SQLite would open a private temporary database and lose every row at exit
    }
    std::error_code ec;
    fs::create_directories(dbFile.parent_path(), ec);  // a folder that cannot be made fails the open below
    db_ = openConnection(dbFile);
    if (db_ != nullptr && isDamaged(db_)) {
        sqlite3_close(db_);
        db_ = nullptr;
        if (moveAside(dbFile, static_cast<int64_t>(clock_()))) {
            db_ = openConnection(dbFile);
        }
    }
    if (db_ != nullptr) {
        execIgnoringErrors(db_, kSchema);
    }
}

void HistoryStore::insert(double inputW, double systemW, double batteryPct, double batteryNetW) {
    if (db_ == nullptr) {
        return;
    }
    const double now = clock_();
    {
        Statement stmt(db_, kInsertSample);
        if (stmt) {
            sqlite3_bind_int64(stmt.handle, 1, static_cast<sqlite3_int64>(now));
            sqlite3_bind_double(stmt.handle, 2, inputW);
            sqlite3_bind_double(stmt.handle, 3, systemW);
            sqlite3_bind_double(stmt.handle, 4, batteryPct);
            sqlite3_bind_double(stmt.handle, 5, batteryNetW);
            sqlite3_step(stmt.handle);
        }
    }
    runRetentionPass(now);
}

void HistoryStore::runRetentionPass(double now) {
    if (now - lastCleanTime_ <= kRetentionIntervalSeconds) {
        return;
    }
    lastCleanTime_ = now;
    const int64_t cutoff = static_cast<int64_t>(now) - kRetentionSeconds;
    execIgnoringErrors(db_, kRetentionPrefix + std::to_string(cutoff) + ";");
}

void HistoryStore::insertAlert(const std::string& type, const std::string& title, const std::string& body) {
    if (db_ == nullptr) {
        return;
    }
    Statement stmt(db_, kInsertAlert);
    if (!stmt) {
        return;
    }
    sqlite3_bind_double(stmt.handle, 1, clock_());
    int parameter = 2;
    for (const std::string* text : {&type, &title, &body}) {
        sqlite3_bind_text64(stmt.handle, parameter++, text->data(), text->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    sqlite3_step(stmt.handle);
}

std::vector<HistoryStore::Record> HistoryStore::query(int64_t hours) {
    std::vector<Record> records;
    if (db_ == nullptr) {
        return records;
    }
    // Saturate instead of overflowing on absurd spans: everything, or nothing.
    const auto nowWhole = static_cast<int64_t>(clock_());
    int64_t span = 0;
    int64_t since = 0;
    if (__builtin_mul_overflow(hours, kSecondsPerHour, &span) || __builtin_sub_overflow(nowWhole, span, &since)) {
        since = hours > 0 ? INT64_MIN : INT64_MAX;
    }
    Statement stmt(db_, kReadSamples);
    if (!stmt) {
        return records;
    }
    sqlite3_bind_int64(stmt.handle, 1, since);
    while (sqlite3_step(stmt.handle) == SQLITE_ROW) {
        Record record;
        record.ts = sqlite3_column_int64(stmt.handle, 0);
        record.id = static_cast<double>(record.ts);
        record.inputW = sqlite3_column_double(stmt.handle, 1);
        record.systemW = sqlite3_column_double(stmt.handle, 2);
        record.batteryPct = sqlite3_column_double(stmt.handle, 3);
        record.batteryNetW = sqlite3_column_double(stmt.handle, 4);
        records.push_back(record);
    }
    return records;
}

std::vector<HistoryStore::AlertRecord> HistoryStore::queryAlerts(int64_t limit) {
    std::vector<AlertRecord> alerts;
    if (db_ == nullptr) {
        return alerts;
    }
    Statement stmt(db_, kReadAlertsPrefix + std::to_string(limit));
    if (!stmt) {
        return alerts;
    }
    while (sqlite3_step(stmt.handle) == SQLITE_ROW) {
        AlertRecord alert;
        alert.id = sqlite3_column_int64(stmt.handle, 0);
        alert.ts = sqlite3_column_double(stmt.handle, 1);
        alert.type = columnText(stmt.handle, 2);
        alert.title = columnText(stmt.handle, 3);
        alert.body = columnText(stmt.handle, 4);
        alerts.push_back(std::move(alert));
    }
    return alerts;
}

}  // namespace joulemap
