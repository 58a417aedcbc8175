#include "CsvExport.h"

#include "AtomicFile.h"
#include "LocalTime.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace joulemap::CsvExport {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr int64_t kHoursPerDay = 24;

std::string row(std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& f : fields) {
        if (!line.empty()) line += ',';
        line += f;
    }
    return line + kLineEnd;
}

}  // namespace

std::string field(std::string_view text) {
    const bool needsQuotes = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                             (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!needsQuotes) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string number(double value) {
    if (!std::isfinite(value)) return {};
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return ec == std::errc() ? std::string(buffer.data(), end) : std::string();
}

std::string samplesCsv(const std::vector<HistoryStore::Record>& records) {
    std::string csv = row({"time", "input_w", "system_w", "battery_pct", "battery_net_w"});
    for (const HistoryStore::Record& r : records) {
        csv += row({isoLocalTime(static_cast<double>(r.ts)), number(r.inputW), number(r.systemW), number(r.batteryPct),
                    number(r.batteryNetW)});
    }
    return csv;
}

std::string appsCsv(const std::vector<HistoryStore::EnergyRecord>& records) {
    std::string csv = row({"time", "app", "on_battery", "wh"});
    for (const HistoryStore::EnergyRecord& r : records) {
        csv += row({isoLocalTime(static_cast<double>(r.ts)), field(r.energy.app), r.energy.onBattery ? "1" : "0",
                    number(r.energy.wh)});
    }
    return csv;
}

std::string alertsCsv(const std::vector<HistoryStore::AlertRecord>& alerts) {
    std::string csv = row({"time", "type", "title", "body"});
    for (const HistoryStore::AlertRecord& a : alerts) {
        csv += row({isoLocalTime(a.ts), field(a.type), field(a.title), field(a.body)});
    }
    return csv;
}

std::optional<std::string> exportHistory(HistoryStore& store, const std::filesystem::path& folder, int64_t days) {
    if (!store.isAvailable()) return "no history yet: Joulemap has not recorded anything on this account";
    int64_t hours = 0;
    if (days <= 0 || __builtin_mul_overflow(days, kHoursPerDay, &hours)) return "the number of days must be positive";

    const std::vector<HistoryStore::Record> samples = store.query(hours);
    const std::vector<HistoryStore::EnergyRecord> energy = store.queryEnergyRecords(hours);
    // Alerts are kept for good; the export holds those of the same days.
    const std::vector<HistoryStore::AlertRecord> alerts = store.queryAlertsWithin(hours);
    if (samples.empty() && energy.empty() && alerts.empty()) {
        return "no history yet in the last " + std::to_string(days) + " days";
    }

    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return "cannot create " + folder.string() + ": " + ec.message();
    const std::array<std::pair<const char*, std::string>, 3> files{{
        {kSamplesFile, samplesCsv(samples)},
        {kAppsFile, appsCsv(energy)},
        {kAlertsFile, alertsCsv(alerts)},
    }};
    for (const auto& [name, contents] : files) {
        std::string error;
        if (!writeFileAtomically(folder / name, contents, &error)) return error;
    }
    return std::nullopt;
}

}  // namespace joulemap::CsvExport
