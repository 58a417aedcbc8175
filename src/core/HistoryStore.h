#pragma once

#include "AppEnergy.h"
#include "HistoryFileLock.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace joulemap {

// The long-term history in SQLite: one power sample per insert with the energy each application
// used since the previous one (both kept 30 days), and the log of every alert sent (kept for good). It never throws: when the database cannot be opened, writes do
// nothing and reads return empty lists; every write that cannot be stored is reported to the log.
// Several processes may write the same file at once. Used from one thread at a time.
class HistoryStore {
public:
    struct Record {
        double id = 0;  // ts as a double, so rows can be keyed by it
        int64_t ts = 0;  // whole seconds since 1970
        double inputW = 0;
        double systemW = 0;
        double batteryPct = 0;
        double batteryNetW = 0;

        bool operator==(const Record&) const = default;
    };

    struct AlertRecord {
        int64_t id = 0;
        double ts = 0;  // seconds since 1970, with fraction
        std::string type;
        std::string title;
        std::string body;

        bool operator==(const AlertRecord&) const = default;
    };

    // One application's energy over the 30 s before `ts`.
    struct EnergyRecord {
        int64_t ts = 0;
        AppEnergy energy;

        bool operator==(const EnergyRecord&) const = default;
    };

    // Recorded in the file's user_version; a file from a newer build is only read, never written.
    // 2 added the energy per application; a file of version 1 gains its tables and keeps its rows.
    static constexpr int kSchemaVersion = 2;

    enum class Access { readWrite, readOnly };

    // Seconds since 1970-01-01 UTC, with fraction.
    using Clock = std::function<double()>;
    // One line, without a line break. The default writes to standard error.
    using LogSink = std::function<void(const std::string& message)>;

    // Creates missing parent folders and opens (or creates) the database. An empty path gives an
    // unavailable store. Holds the lock file beside the database for the store's lifetime.
    explicit HistoryStore(const std::filesystem::path& dbFile);
    HistoryStore(const std::filesystem::path& dbFile, Clock clock);
    // Read-only opens neither create the file nor take its lock: an export reads beside the writer.
    HistoryStore(const std::filesystem::path& dbFile, Clock clock, Access access);
    ~HistoryStore();

    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // The process-wide store at AppPaths::historyDatabasePath(), opened on first use.
    static HistoryStore& shared();

    // Where every store of the process reports; an empty sink restores the default.
    static void setLogSink(LogSink sink);

    bool isAvailable() const { return db_ != nullptr; }
    // Readable but not writable: a newer schema, or another process kept the file locked.
    bool isReadOnly() const { return readOnly_; }

    // True once the row (and the energies with it, in one transaction) is committed to the file.
    bool insert(double inputW, double systemW, double batteryPct, double batteryNetW,
                const std::vector<AppEnergy>& energies = {});
    bool insertAlert(const std::string& type, const std::string& title, const std::string& body);

    // Samples of the last `hours` hours, oldest first.
    std::vector<Record> query(int64_t hours);
    // The newest `limit` alerts, newest first.
    std::vector<AlertRecord> queryAlerts(int64_t limit);
    // The alerts of the last `hours` hours, oldest first.
    std::vector<AlertRecord> queryAlertsWithin(int64_t hours);
    // Energy per application and power state over the last `hours` hours, largest first. Whole hours
    // come from a running total per hour, so a month stays as quick to rank as a day.
    std::vector<AppEnergy> queryAppEnergy(int64_t hours);
    // The stored energy rows of the last `hours` hours, oldest first.
    std::vector<EnergyRecord> queryEnergyRecords(int64_t hours);

private:
    void open(const std::filesystem::path& dbFile);
    int64_t sinceSeconds(int64_t hours) const;
    std::vector<AlertRecord> readAlerts(const std::string& sql, std::optional<double> since);
    void openReadOnly(const std::filesystem::path& dbFile, const std::string& reason);
    void prepareSchema(const std::filesystem::path& dbFile);
    sqlite3* replaceDamaged(const std::filesystem::path& dbFile);
    bool writable(const char* what);
    void runRetentionPass(double now);

    std::optional<HistoryFileLock> lock_;
    sqlite3* db_ = nullptr;
    bool readOnly_ = false;
    bool readOnlyReported_ = false;
    double lastCleanTime_ = 0;
    Clock clock_;
};

}  // namespace joulemap
