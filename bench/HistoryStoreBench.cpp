// The history database at the size it reaches in use: 30 days at one sample per 30 s. Measures the
// write the history timer makes, the hourly retention pass, the read behind the history window's
// week view, the ranking of the energy per application, opening the file at start-up and
// rebuilding it when it is damaged; reports the size of those 30 days on disk.
#include "HistoryStore.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using joulemap::HistoryStore;
namespace fs = std::filesystem;

constexpr double kNow = 1'700'000'000.0;
constexpr int64_t kSampleIntervalSeconds = 30;
constexpr int64_t kMonthSeconds = 30 * 86'400;
constexpr int64_t kMonthRows = kMonthSeconds / kSampleIntervalSeconds;  // 86 400

// A scratch folder for the run, removed when the program ends.
struct ScratchDir {
    fs::path path = fs::temp_directory_path() / ("joulemap-history-bench-" + std::to_string(::getpid()));
    ScratchDir() { fs::create_directories(path); }
    ~ScratchDir() { fs::remove_all(path); }
};

const fs::path& scratch() {
    static ScratchDir dir;
    return dir.path;
}

// The 30-day database, written once in a single transaction (through insert() every row would
// wait for its own sync to disk), then copied for each benchmark that changes it.
fs::path monthDatabase(const std::string& name) {
    static const fs::path master = [] {
        const fs::path file = scratch() / "month.db";
        { HistoryStore schema(file, [] { return kNow; }); }
        sqlite3* db = nullptr;
        sqlite3_open(file.string().c_str(), &db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT OR REPLACE INTO power_log (ts, input_w, system_w, battery_pct, battery_net_w) "
                           "VALUES (?,?,?,?,?)",
                           -1, &stmt, nullptr);
        // Newest row now, oldest 30 s inside the retention window.
        for (int64_t i = 0; i < kMonthRows; ++i) {
            sqlite3_bind_int64(stmt, 1, static_cast<int64_t>(kNow) - i * kSampleIntervalSeconds);
            sqlite3_bind_double(stmt, 2, 30.0 + static_cast<double>(i % 97) * 0.37);
            sqlite3_bind_double(stmt, 3, 18.0 + static_cast<double>(i % 53) * 0.21);
            sqlite3_bind_double(stmt, 4, static_cast<double>(20 + i % 80));
            sqlite3_bind_double(stmt, 5, static_cast<double>(i % 41) * 0.5 - 10.0);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return file;
    }();
    const fs::path copy = scratch() / name;
    fs::copy_file(master, copy, fs::copy_options::overwrite_existing);
    return copy;
}

// 30 days of energy rows beside the samples, `apps` applications in every 30 s, through the same
// statements the store uses (its running totals per hour included).
fs::path energyDatabase(const std::string& name, int apps) {
    const fs::path file = scratch() / name;
    fs::remove(file);
    { HistoryStore schema(file, [] { return kNow; }); }
    sqlite3* db = nullptr;
    sqlite3_open(file.string().c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* sample = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO power_log VALUES (?,30,20,60,5)", -1, &sample, nullptr);
    sqlite3_stmt* energy = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO app_energy VALUES (?1,(SELECT id FROM app_names WHERE name = ?2),?3,?4)", -1, &energy, nullptr);
    sqlite3_stmt* hourly = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO app_energy_hourly VALUES (?1 - ?1 % 3600,(SELECT id FROM app_names WHERE name = ?2),?3,?4) "
                       "ON CONFLICT DO UPDATE SET uwh = uwh + excluded.uwh",
                       -1, &hourly, nullptr);
    std::vector<std::string> names;
    for (int a = 0; a < apps; ++a) {
        names.push_back("Application " + std::to_string(a));
        sqlite3_exec(db, ("INSERT INTO app_names (name) VALUES ('" + names.back() + "')").c_str(), nullptr, nullptr,
                     nullptr);
    }
    for (int64_t i = 0; i < kMonthRows; ++i) {
        const int64_t ts = static_cast<int64_t>(kNow) - i * kSampleIntervalSeconds;
        sqlite3_bind_int64(sample, 1, ts);
        sqlite3_step(sample);
        sqlite3_reset(sample);
        for (int a = 0; a < apps; ++a) {
            for (sqlite3_stmt* stmt : {energy, hourly}) {
                sqlite3_bind_int64(stmt, 1, ts);
                sqlite3_bind_text(stmt, 2, names[a].c_str(), -1, SQLITE_STATIC);
                sqlite3_bind_int(stmt, 3, (i / 240) % 3 == 0 ? 0 : 1);
                sqlite3_bind_int64(stmt, 4, 10'000 * (a + 1));  // µWh
                sqlite3_step(stmt);
                sqlite3_reset(stmt);
            }
        }
    }
    for (sqlite3_stmt* stmt : {sample, energy, hourly}) sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return file;
}

// The history window's "应用耗电" card over the whole month and over a day: 15 applications.
void BM_RankAppEnergy(benchmark::State& state) {
    static const fs::path file = energyDatabase("energy.db", 15);
    const int64_t hours = state.range(0);
    HistoryStore store(file, [] { return kNow + 1000; });  // inside an hour: both halves of the query run
    size_t entries = 0;
    for (auto _ : state) {
        const auto totals = store.queryAppEnergy(hours);
        entries = totals.size();
        benchmark::DoNotOptimize(totals.data());
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["db_bytes"] =
        benchmark::Counter(static_cast<double>(fs::file_size(file)), benchmark::Counter::kDefaults,
                           benchmark::Counter::kIs1024);
}
BENCHMARK(BM_RankAppEnergy)->Arg(24)->Arg(24 * 30)->Unit(benchmark::kMillisecond);

// What a day adds to the file as the application writes it: at most five application bands,
// "其他应用" and the system in each 30 s row.
void BM_DatabaseGrowthPerDay(benchmark::State& state) {
    double bytes = 0;
    for (auto _ : state) {
        const fs::path file = energyDatabase("growth.db", 7);
        bytes = static_cast<double>(fs::file_size(file)) / 30;
    }
    state.counters["bytes_per_day"] =
        benchmark::Counter(bytes, benchmark::Counter::kDefaults, benchmark::Counter::kIs1024);
}
BENCHMARK(BM_DatabaseGrowthPerDay)->Unit(benchmark::kMillisecond)->Iterations(1);

// The 30 s write with the energy of seven entries, as the history timer makes it.
void BM_InsertWithEnergy(benchmark::State& state) {
    double now = kNow + 1;
    HistoryStore store(monthDatabase("energy-insert.db"), [&now] { return now; });
    std::vector<joulemap::AppEnergy> energies;
    for (int a = 0; a < 7; ++a) energies.push_back({"Application " + std::to_string(a), true, 0.01 * (a + 1)});
    store.insert(30, 20, 60, 5, energies);
    for (auto _ : state) {
        now += 1;
        store.insert(30, 20, 60, 5, energies);
    }
}
BENCHMARK(BM_InsertWithEnergy)->Unit(benchmark::kMillisecond);

// One sample every second of clock, all within the hour after the first insert: the retention
// pass is skipped, as on 119 of every 120 history ticks.
void BM_InsertWithinTheHour(benchmark::State& state) {
    double now = kNow + 1;
    HistoryStore store(monthDatabase("steady.db"), [&now] { return now; });
    store.insert(30, 20, 60, 5);  // the first insert runs the pass
    for (auto _ : state) {
        now += 1;
        store.insert(30, 20, 60, 5);
    }
    state.counters["retention_skipped"] = now - kNow < 3600 ? 1 : 0;
}
BENCHMARK(BM_InsertWithinTheHour)->Unit(benchmark::kMillisecond);

// Every insert an hour after the previous one, so each runs the pass and deletes the hour of
// rows (120) that fell out of the 30 days. A fixed count keeps the table near its full size.
void BM_InsertRunningRetention(benchmark::State& state) {
    double now = kNow;
    HistoryStore store(monthDatabase("retention.db"), [&now] { return now; });
    store.insert(30, 20, 60, 5);
    for (auto _ : state) {
        now += 3601;
        store.insert(30, 20, 60, 5);
    }
}
BENCHMARK(BM_InsertRunningRetention)->Unit(benchmark::kMillisecond)->Iterations(50);

// The week view of the history window: 20 160 rows out of the full month.
void BM_QueryWeekOfFullMonth(benchmark::State& state) {
    const fs::path file = monthDatabase("query.db");
    HistoryStore store(file, [] { return kNow; });
    size_t rows = 0;
    for (auto _ : state) {
        const auto records = store.query(168);
        rows = records.size();
        benchmark::DoNotOptimize(records.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["db_bytes"] =
        benchmark::Counter(static_cast<double>(fs::file_size(file)), benchmark::Counter::kDefaults,
                           benchmark::Counter::kIs1024);
}
BENCHMARK(BM_QueryWeekOfFullMonth)->Unit(benchmark::kMillisecond);

// Start-up: open, integrity check and schema script on the full month.
void BM_OpenFullMonth(benchmark::State& state) {
    const fs::path file = monthDatabase("open.db");
    for (auto _ : state) {
        HistoryStore store(file, [] { return kNow; });
        benchmark::DoNotOptimize(store.isAvailable());
    }
}
BENCHMARK(BM_OpenFullMonth)->Unit(benchmark::kMillisecond);

// Start-up on a damaged month: one page of rows in the middle overwritten, so the check fails and
// every readable row is copied into a fresh file before it takes the damaged one's place.
void BM_OpenDamagedMonth(benchmark::State& state) {
    constexpr std::streamoff kPageBytes = 4096;
    size_t kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path file = monthDatabase("damaged.db");
        {
            std::fstream bytes(file, std::ios::binary | std::ios::in | std::ios::out);
            bytes.seekp(static_cast<std::streamoff>(fs::file_size(file)) / kPageBytes / 2 * kPageBytes);
            bytes << std::string(kPageBytes, 'Z');
        }
        state.ResumeTiming();
        HistoryStore store(file, [] { return kNow; });
        state.PauseTiming();
        kept = store.query(24 * 31).size();
        for (const auto& entry : fs::directory_iterator(scratch())) {
            if (entry.path().filename().string().starts_with("damaged.db.corrupt-")) fs::remove(entry.path());
        }
        state.ResumeTiming();
    }
    state.counters["rows_kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_OpenDamagedMonth)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
