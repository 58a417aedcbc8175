#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace joulemap {

// The long-term history in SQLite: one power sample per insert (kept 30 days) and the log of
// every alert sent (kept for good). It never reports an error: when the database cannot be
// opened, writes do nothing and reads return empty lists. Used from one thread at a time.
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

    // Seconds since 1970-01-01 UTC, with fraction.
    using Clock = std::function<double()>;

    // Creates missing parent folders and opens (or creates) the database. An empty path gives an
    // unavailable store.
    explicit HistoryStore(const std::filesystem::path& dbFile);
    HistoryStore(const std::filesystem::path& dbFile, Clock clock);
    ~HistoryStore();

    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // The process-wide store at AppPaths::historyDatabasePath(), opened on first use.
    static HistoryStore& shared();

    bool isAvailable() const { return db_ != nullptr; }

    void insert(double inputW, double systemW, double batteryPct, double batteryNetW);
    void insertAlert(const std::string& type, const std::string& title, const std::string& body);

    // Samples of the last `hours` hours, oldest first.
    std::vector<Record> query(int64_t hours);
    // The newest `limit` alerts, newest first.
    std::vector<AlertRecord> queryAlerts(int64_t limit);

private:
    void open(const std::filesystem::path& dbFile);
    void runRetentionPass(double now);

    sqlite3* db_ = nullptr;
    double lastCleanTime_ = 0;
    Clock clock_;
};

}  // namespace joulemap
