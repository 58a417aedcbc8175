// A month of history in minutes: 31 simulated days of the application's writes (one sample every
// 30 s, an alert every few hours) through HistoryStore, whose clock runs as fast as the writes go.
// After each simulated day prints the rows kept, the file's size and how long the history window's
// week read (query(168)) takes, so one sees the store stay bounded by its 30-day retention and the
// read stay fast once the file is full.
//
//   joulemap_history_soak [FOLDER] [DAYS]
//
// FOLDER  where the scratch database goes (default /dev/shm, else the temporary folder); on a
//         memory file system the run takes minutes rather than the hours of one sync per row
// DAYS    simulated days (default 31)
#include "HistoryStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using joulemap::HistoryStore;
namespace fs = std::filesystem;

constexpr double kStartTime = 1'700'000'000.0;
constexpr double kSampleIntervalSeconds = 30;
constexpr double kSecondsPerDay = 86'400;
constexpr int kSamplesPerDay = static_cast<int>(kSecondsPerDay / kSampleIntervalSeconds);
// Alerts are rare next to samples; one every four hours is a busy day.
constexpr int kSamplesPerAlert = 4 * 3600 / static_cast<int>(kSampleIntervalSeconds);
constexpr int64_t kWeekHours = 168;
constexpr int kDefaultDays = 31;
// The week read is timed a few times and the slowest and median reported, so one slow moment of a
// busy machine shows rather than hides.
constexpr int kQueryRepeats = 5;

int64_t countRows(const fs::path& file, const char* table) {
    sqlite3* db = nullptr;
    int64_t rows = -1;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        const std::string sql = std::string("SELECT count(*) FROM ") + table;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
            rows = sqlite3_column_int64(stmt, 0);
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1])
                            : fs::is_directory("/dev/shm") ? fs::path("/dev/shm")
                                                           : fs::temp_directory_path();
    const int days = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultDays;
    const fs::path dir = folder / ("joulemap-history-soak-" + std::to_string(::getpid()));
    const fs::path file = dir / "history.db";
    fs::create_directories(dir);

    double now = kStartTime;
    int failedWrites = 0;
    {
        HistoryStore store(file, [&now] { return now; });
        if (!store.isAvailable()) {
            std::fprintf(stderr, "cannot open %s\n", file.c_str());
            return 1;
        }
        std::printf("%4s %9s %7s %9s %12s %12s %10s\n", "day", "samples", "alerts", "file_KB", "week_rows",
                    "query168_ms", "(slowest)");
        const auto runStart = std::chrono::steady_clock::now();
        for (int day = 1; day <= days; ++day) {
            for (int i = 0; i < kSamplesPerDay; ++i) {
                now += kSampleIntervalSeconds;
                const double phase = static_cast<double>(i % 97);
                if (!store.insert(30 + phase * 0.37, 18 + phase * 0.21, 20 + i % 80, phase * 0.5 - 10)) ++failedWrites;
                if (i % kSamplesPerAlert == 0 &&
                    !store.insertAlert("highPower", "High power", "Day " + std::to_string(day))) {
                    ++failedWrites;
                }
            }
            std::vector<double> ms;
            size_t weekRows = 0;
            for (int r = 0; r < kQueryRepeats; ++r) {
                const auto t0 = std::chrono::steady_clock::now();
                weekRows = store.query(kWeekHours).size();
                ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
            }
            std::sort(ms.begin(), ms.end());
            std::printf("%4d %9lld %7lld %9lld %12zu %12.2f %10.2f\n", day,
                        static_cast<long long>(countRows(file, "power_log")),
                        static_cast<long long>(countRows(file, "alerts")),
                        static_cast<long long>(fs::file_size(file) / 1024), weekRows, ms[kQueryRepeats / 2],
                        ms.back());
            std::fflush(stdout);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - runStart).count();
        std::printf("%d simulated days in %.1f s of real time; writes that failed: %d\n", days, seconds,
                    failedWrites);
    }
    fs::remove_all(dir);
    return failedWrites == 0 ? 0 : 1;
}
