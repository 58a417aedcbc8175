#include "HistoryStore.h"

#include "AppPaths.h"

#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <mutex>
#include <optional>
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
    -- Names once, energies as whole microwatt-hours: a month of rows stays a few megabytes.
    CREATE TABLE IF NOT EXISTS app_names (
        id INTEGER PRIMARY KEY,
        name TEXT NOT NULL UNIQUE
    );
    CREATE TABLE IF NOT EXISTS app_energy (
        ts INTEGER NOT NULL,
        app_id INTEGER NOT NULL,
        on_battery INTEGER NOT NULL,
        uwh INTEGER NOT NULL,
        PRIMARY KEY (ts, app_id, on_battery)
    ) WITHOUT ROWID;
    CREATE TABLE IF NOT EXISTS app_energy_hourly (
        hour INTEGER NOT NULL,
        app_id INTEGER NOT NULL,
        on_battery INTEGER NOT NULL,
        uwh INTEGER NOT NULL,
        PRIMARY KEY (hour, app_id, on_battery)
    ) WITHOUT ROWID;
)sql";

constexpr const char* kInsertSample =
    "INSERT OR REPLACE INTO power_log (ts, input_w, system_w, battery_pct, battery_net_w) VALUES (?,?,?,?,?)";
constexpr const char* kAddAppName = "INSERT OR IGNORE INTO app_names (name) VALUES (?)";
constexpr const char* kInsertEnergy =
    "INSERT INTO app_energy (ts, app_id, on_battery, uwh)"
    " VALUES (?1, (SELECT id FROM app_names WHERE name = ?2), ?3, ?4)"
    " ON CONFLICT (ts, app_id, on_battery) DO UPDATE SET uwh = uwh + excluded.uwh";
constexpr const char* kAddHourlyEnergy =
    "INSERT INTO app_energy_hourly (hour, app_id, on_battery, uwh)"
    " VALUES (?1, (SELECT id FROM app_names WHERE name = ?2), ?3, ?4)"
    " ON CONFLICT (hour, app_id, on_battery) DO UPDATE SET uwh = uwh + excluded.uwh";
// Whole hours from the running totals, the part of an hour before them from the rows.
constexpr const char* kRankEnergy =
    "SELECT n.name, e.on_battery, SUM(e.uwh) AS total FROM ("
    " SELECT app_id, on_battery, uwh FROM app_energy_hourly WHERE hour >= ?2"
    " UNION ALL SELECT app_id, on_battery, uwh FROM app_energy WHERE ts >= ?1 AND ts < ?2"
    ") AS e JOIN app_names AS n ON n.id = e.app_id GROUP BY e.app_id, e.on_battery ORDER BY total DESC, n.name";
constexpr const char* kReadEnergy =
    "SELECT e.ts, n.name, e.on_battery, e.uwh FROM app_energy AS e JOIN app_names AS n ON n.id = e.app_id"
    " WHERE e.ts >= ? ORDER BY e.ts, e.uwh DESC, n.name";
constexpr double kMicrowattHoursPerWattHour = 1e6;
constexpr const char* kInsertAlert = "INSERT INTO alerts (ts, type, title, body) VALUES (?,?,?,?)";
constexpr const char* kReadSamples =
    "SELECT ts, input_w, system_w, battery_pct, battery_net_w FROM power_log WHERE ts >= ? ORDER BY ts";
constexpr const char* kReadAlertsSince = "SELECT id, ts, type, title, body FROM alerts WHERE ts >= ? ORDER BY ts, id";
constexpr const char* kReadAlertsPrefix = "SELECT id, ts, type, title, body FROM alerts ORDER BY ts DESC LIMIT ";
// An hour's running total goes once the whole hour is older than the cut-off.
std::string retentionSql(int64_t cutoff) {
    const std::string at = std::to_string(cutoff);
    return "DELETE FROM power_log WHERE ts < " + at + "; DELETE FROM app_energy WHERE ts < " + at +
           "; DELETE FROM app_energy_hourly WHERE hour + 3600 <= " + at + ";";
}

constexpr int64_t kSecondsPerHour = 3600;

int64_t hourOf(int64_t ts) {
    const int64_t rest = ts % kSecondsPerHour;
    return ts - (rest < 0 ? rest + kSecondsPerHour : rest);
}
constexpr double kRetentionIntervalSeconds = 3600;
constexpr int64_t kRetentionSeconds = 30 * 86'400;
// Another process (a second instance, a tool, a sqlite3 shell) may hold the write lock for a
// moment. Each attempt waits this long inside SQLite; the attempts bound the whole wait, because
// the writes run on the main thread.
constexpr int kBusyTimeoutMs = 1000;
constexpr int kWriteAttempts = 3;
// How long an opener waits while another process checks or repairs the file.
constexpr std::chrono::milliseconds kLockWait{3000};
constexpr int kMaxAsideAttempts = 100;

double systemSeconds() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

std::mutex& logMutex() {
    static std::mutex mutex;
    return mutex;
}

HistoryStore::LogSink& logSink() {
    static HistoryStore::LogSink sink;
    return sink;
}

void report(const std::string& message) {
    std::lock_guard lock(logMutex());
    if (logSink()) {
        logSink()(message);
    } else {
        std::cerr << "joulemap: history: " << message << '\n';
    }
}

// Prepared statements live for one call and are finalized on every path out of it.
struct Statement {
    sqlite3_stmt* handle = nullptr;
    int prepareResult = SQLITE_OK;

    Statement(sqlite3* db, const std::string& sql) {
        prepareResult = sqlite3_prepare_v2(db, sql.c_str(), -1, &handle, nullptr);
        if (prepareResult != SQLITE_OK) {
            sqlite3_finalize(handle);
            handle = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(handle); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    explicit operator bool() const { return handle != nullptr; }
};

int exec(sqlite3* db, const std::string& sql) { return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr); }

bool isBusy(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// The rollback journal rather than WAL: the history stays one self-contained file (a damaged one
// moves aside whole, with no -wal or -shm beside it to lose or to mistake for the fresh file's),
// it works in home folders on network file systems, where WAL's shared memory does not, and one
// write every 30 s gains nothing from WAL's concurrent readers.
//
// Runs body inside BEGIN IMMEDIATE ... COMMIT and returns SQLITE_OK or the error that stopped it,
// with the transaction rolled back. IMMEDIATE takes the write lock at BEGIN, where waiting for it
// is safe; a deferred transaction would ask for it at the first write and could fail there without
// waiting. A busy database is retried a bounded number of times.
template <typename Body>
int writeTransaction(sqlite3* db, std::string& error, Body body) {
    int rc = SQLITE_BUSY;
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        rc = exec(db, "BEGIN IMMEDIATE");
        if (rc == SQLITE_OK) {
            rc = body();
            if (rc == SQLITE_OK) rc = exec(db, "COMMIT");
        }
        if (rc != SQLITE_OK) {
            error = sqlite3_errmsg(db);
            if (sqlite3_get_autocommit(db) == 0) exec(db, "ROLLBACK");
        }
        if (!isBusy(rc)) break;
    }
    return rc;
}

int stepToDone(sqlite3_stmt* stmt) {
    const int rc = sqlite3_step(stmt);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

std::string columnText(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    if (text == nullptr) {
        return {};  // NULL, from a database edited outside the program
    }
    return std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
}

sqlite3* openConnection(const fs::path& file, int flags) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.string().c_str(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);  // SQLite hands out a handle even when opening fails
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    return db;
}

sqlite3* openWritable(const fs::path& file) {
    return openConnection(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

bool isDamageCode(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// Opening succeeds on any file because SQLite reads lazily; the first real read is what finds
// a file that is not a database or has damaged pages. A busy or unreadable file is not damage.
bool isDamaged(sqlite3* db) {
    Statement stmt(db, "PRAGMA quick_check");
    if (!stmt) return isDamageCode(stmt.prepareResult);
    const int rc = sqlite3_step(stmt.handle);
    if (rc != SQLITE_ROW) return isDamageCode(rc);
    const auto* verdict = reinterpret_cast<const char*>(sqlite3_column_text(stmt.handle, 0));
    return verdict == nullptr || std::strcmp(verdict, "ok") != 0;
}

// The tables, the indexes and the version, in one transaction: a file has all or none of them.
int createSchema(sqlite3* db, std::string& error) {
    return writeTransaction(db, error, [db] {
        const int rc = exec(db, kSchema);
        if (rc != SQLITE_OK) return rc;
        return exec(db, "PRAGMA user_version = " + std::to_string(HistoryStore::kSchemaVersion));
    });
}

std::optional<int> schemaVersion(sqlite3* db) {
    Statement stmt(db, "PRAGMA user_version");
    if (!stmt || sqlite3_step(stmt.handle) != SQLITE_ROW) return std::nullopt;
    return sqlite3_column_int(stmt.handle, 0);
}

// Copies the rows of `table` that can still be read from a damaged file. A damaged page ends the
// scan in key order, so a second scan from the newest key down fetches the rows behind it.
// Returns how many rows were copied.
int64_t copyReadableRows(sqlite3* from, sqlite3* to, const std::string& table, const std::string& key,
                         const std::string& columns, int columnCount) {
    std::string placeholders;
    for (int i = 0; i < columnCount; ++i) placeholders += i == 0 ? "?" : ",?";
    Statement insert(to, "INSERT OR IGNORE INTO " + table + " (" + columns + ") VALUES (" + placeholders + ")");
    if (!insert) return 0;
    int64_t copied = 0;
    std::optional<int64_t> lastKey;
    auto copyFrom = [&](const std::string& sql, bool boundedBelow) {
        Statement read(from, sql);
        if (!read) return true;
        if (boundedBelow) sqlite3_bind_int64(read.handle, 1, *lastKey);
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(read.handle)) == SQLITE_ROW) {
            for (int i = 0; i < columnCount; ++i) {
                sqlite3_bind_value(insert.handle, i + 1, sqlite3_column_value(read.handle, i));
            }
            if (sqlite3_step(insert.handle) == SQLITE_DONE) ++copied;
            sqlite3_reset(insert.handle);
            if (!boundedBelow) lastKey = sqlite3_column_int64(read.handle, 0);
        }
        return rc == SQLITE_DONE;
    };
    // The key is the first column, so it is read with the row.
    const std::string select = "SELECT " + columns + " FROM " + table;
    if (copyFrom(select + " ORDER BY " + key, false)) return copied;
    if (!lastKey) lastKey = INT64_MIN;
    copyFrom(select + " WHERE " + key + " > ? ORDER BY " + key + " DESC", true);
    return copied;
}

bool occupied(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

// Renames a damaged database to "<name>.corrupt-<unix time>" beside it, never over an earlier
// one, and never deletes anything, so the rows can still be rescued by hand. Journal files need no
// moving: SQLite rolls back or discards a journal on the first read, so none is left to be
// mistaken for the fresh database's. Empty when the file could not be moved.
fs::path moveAside(const fs::path& file, int64_t unixTime) {
    fs::path base = file;
    base += ".corrupt-" + std::to_string(unixTime);
    fs::path target = base;
    for (int n = 2; occupied(target); ++n) {
        if (n > kMaxAsideAttempts) {
            return {};
        }
        target = base;
        target += "-" + std::to_string(n);
    }
    std::error_code ec;
    fs::rename(file, target, ec);
    return ec ? fs::path() : target;
}

}  // namespace

HistoryStore::HistoryStore(const fs::path& dbFile) : HistoryStore(dbFile, systemSeconds) {}

HistoryStore::HistoryStore(const fs::path& dbFile, Clock clock) : clock_(std::move(clock)) {
    open(dbFile);
}

HistoryStore::HistoryStore(const fs::path& dbFile, Clock clock, Access access) : clock_(std::move(clock)) {
    if (access == Access::readWrite) {
        open(dbFile);
        return;
    }
    readOnly_ = true;
    readOnlyReported_ = true;  // asked for: nothing to report
    std::error_code ec;
    if (!dbFile.empty() && fs::is_regular_file(dbFile, ec)) db_ = openConnection(dbFile, SQLITE_OPEN_READONLY);
}

HistoryStore::~HistoryStore() {
    sqlite3_close(db_);
}

HistoryStore& HistoryStore::shared() {
    static HistoryStore store(AppPaths::historyDatabasePath().value_or(fs::path()));
    return store;
}

void HistoryStore::setLogSink(LogSink sink) {
    std::lock_guard lock(logMutex());
    logSink() = std::move(sink);
}

void HistoryStore::open(const fs::path& dbFile) {
    if (dbFile.empty()) {
        return;  // SQLite would open a private temporary database and lose every row at exit
    }
    std::error_code ec;
    fs::create_directories(dbFile.parent_path(), ec);  // a folder that cannot be made fails the open below
    lock_.emplace(dbFile, kLockWait);
    switch (lock_->role()) {
        case HistoryFileLock::Role::owner:
            db_ = openWritable(dbFile);
            if (db_ != nullptr && isDamaged(db_)) {
                sqlite3_close(db_);
                db_ = replaceDamaged(dbFile);
            }
            prepareSchema(dbFile);
            lock_->share();
            break;
        case HistoryFileLock::Role::sharer:
            // The process holding the lock has checked the file; checking again would only cost time.
            db_ = openWritable(dbFile);
            prepareSchema(dbFile);
            break;
        case HistoryFileLock::Role::none:
            openReadOnly(dbFile, "its lock is held by another process or cannot be made");
            break;
    }
}

void HistoryStore::openReadOnly(const fs::path& dbFile, const std::string& reason) {
    sqlite3_close(db_);
    db_ = openConnection(dbFile, SQLITE_OPEN_READONLY);
    readOnly_ = true;
    if (db_ != nullptr) report("opened " + dbFile.string() + " read-only: " + reason);
}

void HistoryStore::prepareSchema(const fs::path& dbFile) {
    if (db_ == nullptr) return;
    const auto version = schemaVersion(db_);
    if (version && *version > kSchemaVersion) {
        openReadOnly(dbFile, "it was written by a newer version of Joulemap (history format " +
                                 std::to_string(*version) + ", this version knows " +
                                 std::to_string(kSchemaVersion) + "); new samples are not recorded");
        return;
    }
    if (version == kSchemaVersion) return;
    std::string error;
    if (createSchema(db_, error) != SQLITE_OK) {
        openReadOnly(dbFile, "its tables could not be created (" + error + ")");
    }
}

// Builds the fresh database beside the damaged one with every row that can still be read, then
// swaps the two, so there is never a moment when the history is an empty file. A leftover of an
// interrupted earlier attempt is ours to replace: only the lock owner builds one.
sqlite3* HistoryStore::replaceDamaged(const fs::path& dbFile) {
    fs::path fresh = dbFile;
    fresh += ".rebuild";
    std::error_code ec;
    fs::remove(fresh, ec);
    fs::remove(fs::path(fresh) += "-journal", ec);

    sqlite3* rebuilt = openWritable(fresh);
    std::string error;
    if (rebuilt == nullptr || createSchema(rebuilt, error) != SQLITE_OK) {
        report("could not build a replacement for the damaged " + dbFile.string() + ": " + error);
        sqlite3_close(rebuilt);
        return nullptr;
    }
    int64_t samples = 0;
    int64_t alerts = 0;
    if (sqlite3* damaged = openConnection(dbFile, SQLITE_OPEN_READONLY)) {
        exec(rebuilt, "BEGIN");
        samples = copyReadableRows(damaged, rebuilt, "power_log", "ts",
                                   "ts, input_w, system_w, battery_pct, battery_net_w", 5);
        alerts = copyReadableRows(damaged, rebuilt, "alerts", "id", "id, ts, type, title, body", 5);
        copyReadableRows(damaged, rebuilt, "app_names", "id", "id, name", 2);
        copyReadableRows(damaged, rebuilt, "app_energy", "ts", "ts, app_id, on_battery, uwh", 4);
        copyReadableRows(damaged, rebuilt, "app_energy_hourly", "hour", "hour, app_id, on_battery, uwh", 4);
        if (exec(rebuilt, "COMMIT") != SQLITE_OK) {
            exec(rebuilt, "ROLLBACK");
            samples = alerts = 0;
        }
        sqlite3_close(damaged);
    }
    sqlite3_close(rebuilt);

    const fs::path aside = moveAside(dbFile, static_cast<int64_t>(clock_()));
    if (aside.empty()) {
        report("could not move the damaged " + dbFile.string() + " aside; history is not recorded");
        return nullptr;
    }
    fs::rename(fresh, dbFile, ec);
    if (ec) {
        report("could not put the rebuilt history in place of " + dbFile.string() + ": " + ec.message());
        return nullptr;
    }
    report("the history database was damaged and has been moved to " + aside.string() + "; kept " +
           std::to_string(samples) + " samples and " + std::to_string(alerts) + " alerts that were still readable");
    return openWritable(dbFile);
}

bool HistoryStore::writable(const char* what) {
    if (db_ == nullptr) return false;
    if (!readOnly_) return true;
    // Once per store: a line every 30 s would bury everything else in the log.
    if (!readOnlyReported_) {
        readOnlyReported_ = true;
        report(std::string("the history is read-only; this and later ") + what + " are not recorded");
    }
    return false;
}

bool HistoryStore::insert(double inputW, double systemW, double batteryPct, double batteryNetW,
                          const std::vector<AppEnergy>& energies) {
    if (!writable("samples")) {
        return false;
    }
    const double now = clock_();
    const auto ts = static_cast<int64_t>(now);
    Statement stmt(db_, kInsertSample);
    Statement name(db_, kAddAppName);
    Statement energy(db_, kInsertEnergy);
    Statement hourly(db_, kAddHourlyEnergy);
    const bool prepared = stmt && name && energy && hourly;
    std::string error = prepared ? std::string() : sqlite3_errmsg(db_);
    const int rc = !prepared ? SQLITE_ERROR : writeTransaction(db_, error, [&] {
        sqlite3_bind_int64(stmt.handle, 1, ts);
        sqlite3_bind_double(stmt.handle, 2, inputW);
        sqlite3_bind_double(stmt.handle, 3, systemW);
        sqlite3_bind_double(stmt.handle, 4, batteryPct);
        sqlite3_bind_double(stmt.handle, 5, batteryNetW);
        int stepped = stepToDone(stmt.handle);
        sqlite3_reset(stmt.handle);
        for (const AppEnergy& e : energies) {
            if (stepped != SQLITE_OK) break;
            const double uwh = std::round(e.wh * kMicrowattHoursPerWattHour);
            if (!(uwh >= 1) || !(uwh < 1e15)) continue;  // nothing, or no number
            sqlite3_bind_text64(name.handle, 1, e.app.data(), e.app.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
            stepped = stepToDone(name.handle);
            sqlite3_reset(name.handle);
            for (auto [handle, key] : {std::pair{energy.handle, ts}, std::pair{hourly.handle, hourOf(ts)}}) {
                sqlite3_bind_int64(handle, 1, key);
                sqlite3_bind_text64(handle, 2, e.app.data(), e.app.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
                sqlite3_bind_int(handle, 3, e.onBattery ? 1 : 0);
                sqlite3_bind_int64(handle, 4, static_cast<sqlite3_int64>(uwh));
                if (stepped == SQLITE_OK) stepped = stepToDone(handle);
                sqlite3_reset(handle);
            }
        }
        return stepped;
    });
    if (rc != SQLITE_OK) {
        report("lost the sample of " + std::to_string(ts) + ": " + error);
        return false;
    }
    runRetentionPass(now);
    return true;
}

void HistoryStore::runRetentionPass(double now) {
    if (now - lastCleanTime_ <= kRetentionIntervalSeconds) {
        return;
    }
    lastCleanTime_ = now;
    const int64_t cutoff = static_cast<int64_t>(now) - kRetentionSeconds;
    std::string error;
    const int rc = writeTransaction(db_, error, [&] { return exec(db_, retentionSql(cutoff)); });
    if (rc != SQLITE_OK) {
        report("could not remove samples older than 30 days: " + error);
    }
}

bool HistoryStore::insertAlert(const std::string& type, const std::string& title, const std::string& body) {
    if (!writable("alerts")) {
        return false;
    }
    Statement stmt(db_, kInsertAlert);
    std::string error = stmt ? std::string() : sqlite3_errmsg(db_);
    const int rc = !stmt ? stmt.prepareResult : writeTransaction(db_, error, [&] {
        sqlite3_bind_double(stmt.handle, 1, clock_());
        int parameter = 2;
        for (const std::string* text : {&type, &title, &body}) {
            sqlite3_bind_text64(stmt.handle, parameter++, text->data(), text->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        const int stepped = stepToDone(stmt.handle);
        sqlite3_reset(stmt.handle);
        return stepped;
    });
    if (rc != SQLITE_OK) {
        report("lost the alert \"" + title + "\": " + error);
        return false;
    }
    return true;
}

int64_t HistoryStore::sinceSeconds(int64_t hours) const {
    // Saturate instead of overflowing on absurd spans: everything, or nothing.
    const auto nowWhole = static_cast<int64_t>(clock_());
    int64_t span = 0;
    int64_t since = 0;
    if (__builtin_mul_overflow(hours, kSecondsPerHour, &span) || __builtin_sub_overflow(nowWhole, span, &since)) {
        since = hours > 0 ? INT64_MIN : INT64_MAX;
    }
    return since;
}

std::vector<HistoryStore::Record> HistoryStore::query(int64_t hours) {
    std::vector<Record> records;
    if (db_ == nullptr) {
        return records;
    }
    const int64_t since = sinceSeconds(hours);
    Statement stmt(db_, kReadSamples);
    if (!stmt) {
        return records;
    }
    sqlite3_bind_int64(stmt.handle, 1, since);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt.handle)) == SQLITE_ROW) {
        Record record;
        record.ts = sqlite3_column_int64(stmt.handle, 0);
        record.id = static_cast<double>(record.ts);
        record.inputW = sqlite3_column_double(stmt.handle, 1);
        record.systemW = sqlite3_column_double(stmt.handle, 2);
        record.batteryPct = sqlite3_column_double(stmt.handle, 3);
        record.batteryNetW = sqlite3_column_double(stmt.handle, 4);
        records.push_back(record);
    }
    if (rc != SQLITE_DONE) report("reading the samples stopped early: " + std::string(sqlite3_errmsg(db_)));
    return records;
}

std::vector<HistoryStore::AlertRecord> HistoryStore::queryAlerts(int64_t limit) {
    return readAlerts(kReadAlertsPrefix + std::to_string(limit), std::nullopt);
}

std::vector<HistoryStore::AlertRecord> HistoryStore::queryAlertsWithin(int64_t hours) {
    return readAlerts(kReadAlertsSince, static_cast<double>(sinceSeconds(hours)));
}

std::vector<HistoryStore::AlertRecord> HistoryStore::readAlerts(const std::string& sql, std::optional<double> since) {
    std::vector<AlertRecord> alerts;
    if (db_ == nullptr) {
        return alerts;
    }
    Statement stmt(db_, sql);
    if (!stmt) {
        return alerts;
    }
    if (since) sqlite3_bind_double(stmt.handle, 1, *since);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt.handle)) == SQLITE_ROW) {
        AlertRecord alert;
        alert.id = sqlite3_column_int64(stmt.handle, 0);
        alert.ts = sqlite3_column_double(stmt.handle, 1);
        alert.type = columnText(stmt.handle, 2);
        alert.title = columnText(stmt.handle, 3);
        alert.body = columnText(stmt.handle, 4);
        alerts.push_back(std::move(alert));
    }
    if (rc != SQLITE_DONE) report("reading the alerts stopped early: " + std::string(sqlite3_errmsg(db_)));
    return alerts;
}

std::vector<AppEnergy> HistoryStore::queryAppEnergy(int64_t hours) {
    std::vector<AppEnergy> totals;
    if (db_ == nullptr) return totals;
    const int64_t since = sinceSeconds(hours);
    // The first whole hour at or after `since`; near the ends of the range the rows alone count.
    int64_t firstWholeHour = since;
    if (since > INT64_MIN + kSecondsPerHour && since < INT64_MAX - kSecondsPerHour) {
        firstWholeHour = hourOf(since) == since ? since : hourOf(since) + kSecondsPerHour;
    }
    // A file of an older version has no energy table: nothing recorded yet, not an error.
    Statement stmt(db_, kRankEnergy);
    if (!stmt) return totals;
    sqlite3_bind_int64(stmt.handle, 1, since);
    sqlite3_bind_int64(stmt.handle, 2, firstWholeHour);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt.handle)) == SQLITE_ROW) {
        totals.push_back({columnText(stmt.handle, 0), sqlite3_column_int(stmt.handle, 1) != 0,
                          sqlite3_column_double(stmt.handle, 2) / kMicrowattHoursPerWattHour});
    }
    if (rc != SQLITE_DONE) report("ranking the energy stopped early: " + std::string(sqlite3_errmsg(db_)));
    return totals;
}

std::vector<HistoryStore::EnergyRecord> HistoryStore::queryEnergyRecords(int64_t hours) {
    std::vector<EnergyRecord> records;
    if (db_ == nullptr) return records;
    Statement stmt(db_, kReadEnergy);
    if (!stmt) return records;
    sqlite3_bind_int64(stmt.handle, 1, sinceSeconds(hours));
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt.handle)) == SQLITE_ROW) {
        records.push_back({sqlite3_column_int64(stmt.handle, 0),
                           {columnText(stmt.handle, 1), sqlite3_column_int(stmt.handle, 2) != 0,
                            sqlite3_column_double(stmt.handle, 3) / kMicrowattHoursPerWattHour}});
    }
    if (rc != SQLITE_DONE) report("reading the energy stopped early: " + std::string(sqlite3_errmsg(db_)));
    return records;
}

}  // namespace joulemap
