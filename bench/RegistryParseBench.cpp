// Parsing one smart-battery registry dump, as every refresh does.
#include "BatteryService.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr size_t kDumpBytes = 40 * 1024;

std::string readFixture(const std::string& name) {
    std::ifstream in(std::string(JOULEMAP_FIXTURES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Entries the parser never asks for, shaped like those of a real dump: scalars, arrays and
// dictionaries holding look-alike keys (voltages, capacities) that must not be taken by mistake.
std::string padding(int first, size_t bytes) {
    std::string out;
    for (int i = first; out.size() < bytes; ++i) {
        out += "  | |   \"BatteryCellDisconnectCount" + std::to_string(i) + "\" = 0\n";
        out += "  | |   \"CellVoltageHistory" + std::to_string(i) + "\" = (4245,4244,4245,4243)\n";
        out +=
            "  | |   \"LifetimeData" + std::to_string(i) +
            "\" = {\"TotalOperatingTime\"=11936,\"MaximumTemperature\"=460,\"MinimumPackVoltage\"=9802,"
            "\"MaximumChargeCurrent\"=6522,\"CycleCountLastQmax\"=208,\"RawMaxCapacityAtLastQmax\"=6081}\n";
        out += "  | |   \"KioskModeState" + std::to_string(i) +
               "\" = {\"KioskModeMode\"=0,\"KioskModeFullChargeVoltage\"=0,\"KioskModeHighSocDays\"=0}\n";
    }
    return out;
}

// The fixture with half the padding near the top (so most scalar keys sit in the middle) and half
// just before the port and telemetry entries (so those sit near the end).
std::string largeDump() {
    std::string dump = readFixture("ioreg/charging-usb-pd.txt");
    const size_t extra = kDumpBytes - dump.size();
    const size_t early = dump.find("  | |   \"CurrentCapacity\"");
    dump.insert(early, padding(0, extra / 2));
    const size_t late = dump.find("  | |   \"PortControllerInfo\"");
    dump.insert(late, padding(100000, extra / 2));
    return dump;
}

void BM_ParseRegistryDump40KB(benchmark::State& state) {
    const std::string dump = largeDump();
    // The padding must only cost time, never change what is read.
    if (!(joulemap::BatteryService::parse(dump) ==
          joulemap::BatteryService::parse(readFixture("ioreg/charging-usb-pd.txt")))) {
        state.SkipWithError("padding changed the parsed record");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(joulemap::BatteryService::parse(dump));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * dump.size()));
    state.counters["dump_bytes"] = static_cast<double>(dump.size());
}
BENCHMARK(BM_ParseRegistryDump40KB);

void BM_ParseRegistryDumpFixture(benchmark::State& state) {
    const std::string dump = readFixture("ioreg/charging-usb-pd.txt");
    for (auto _ : state) {
        benchmark::DoNotOptimize(joulemap::BatteryService::parse(dump));
    }
    state.counters["dump_bytes"] = static_cast<double>(dump.size());
}
BENCHMARK(BM_ParseRegistryDumpFixture);

}  // namespace
