// The history window's week view at its real size: 7 days of samples (20,160 rows at one per
// 30 s) read from the database and painted once by the chart card, 680 × 346 as in the 720-wide
// window. Also the chart's layout alone, and how many points it keeps per series.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <sqlite3.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "HistoryChartCard.h"
#include "HistoryChartModel.h"
#include "HistoryStore.h"

namespace {

using joulemap::HistoryChartCard;
using joulemap::HistoryChartModel;
using joulemap::HistoryStore;
namespace fs = std::filesystem;

constexpr double kNow = 1'700'000'000.0;
constexpr int64_t kSampleIntervalSeconds = 30;
constexpr int64_t kWeekHours = 168;
constexpr int64_t kWeekRows = kWeekHours * 3600 / kSampleIntervalSeconds;  // 20 160
constexpr int kCardWidth = 680;

struct WeekDatabase {
    fs::path file = fs::temp_directory_path() / ("joulemap-chart-bench-" + std::to_string(::getpid()) + ".db");

    // Written in one transaction: through insert() every row would wait for its own sync.
    WeekDatabase() {
        { HistoryStore schema(file, [] { return kNow; }); }
        sqlite3* db = nullptr;
        sqlite3_open(file.string().c_str(), &db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO power_log VALUES (?,?,?,?,?)", -1, &stmt, nullptr);
        for (int64_t i = 0; i < kWeekRows; ++i) {
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
    }
    ~WeekDatabase() { fs::remove(file); }
};

const fs::path& weekDatabase() {
    static WeekDatabase db;
    return db.file;
}

// What the window does on every load of the week range: read the rows, hand them to the card,
// and paint it once.
void BM_WeekLoadAndPaint(benchmark::State& state) {
    HistoryStore store(weekDatabase(), [] { return kNow + 1; });
    HistoryChartCard card(nullptr);
    card.setClock([] { return kNow + 1; });
    card.resize(kCardWidth, card.sizeHint().height());
    QImage image(card.size(), QImage::Format_ARGB32_Premultiplied);
    std::size_t rows = 0;
    for (auto _ : state) {
        auto records = store.query(kWeekHours);
        rows = records.size();
        card.setRecords(std::move(records), kWeekHours);
        image.fill(Qt::white);
        card.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    const HistoryChartModel model = card.model();
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["points_per_series"] = 0;
    for (const auto& stretch : model.inputSeries()) state.counters["points_per_series"] += double(stretch.size());
}

// The chart's layout alone: scales, labels and the three series reduced to the pixel width.
void BM_WeekChartLayout(benchmark::State& state) {
    HistoryStore store(weekDatabase(), [] { return kNow + 1; });
    const auto records = store.query(kWeekHours);
    for (auto _ : state) {
        HistoryChartModel model(records, kWeekHours, kNow + 1, kCardWidth - 32, HistoryChartCard::kChartHeight);
        benchmark::DoNotOptimize(model.inputSeries().data());
    }
}

}  // namespace

// Process CPU time, so the raster engine's helper threads count too.
BENCHMARK(BM_WeekLoadAndPaint)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_WeekChartLayout)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Painting needs an application object, and this machine has no display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
