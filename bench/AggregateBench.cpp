// One flow snapshot as the refresh cycle builds it on every tick: a notebook on battery with the
// usual spread of applications.
#include "PowerAggregator.h"

#include <benchmark/benchmark.h>

namespace {

using namespace joulemap;

void BM_AggregateOnBattery(benchmark::State& state) {
    BatteryInfo battery;
    battery.isExternalConnected = false;
    battery.voltageMv = 11'850;
    battery.instantAmperageMa = -1'020;
    battery.batteryPowerMw = -12'087;
    battery.currentCapacityPct = 64;
    const std::vector<AppShare> shares{
        {"Chrome", std::nullopt, 0.41},  {"VS Code", std::nullopt, 0.22},    {"Slack", std::nullopt, 0.12},
        {"Spotify", std::nullopt, 0.09}, {"终端", std::nullopt, 0.07},       {"微信", std::nullopt, 0.05},
        {"gimp", std::nullopt, 0.04},    {"__system__", std::nullopt, 0.18},
    };
    for (auto _ : state) {
        JoulemapData data = PowerAggregator::aggregate(battery, shares);
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_AggregateOnBattery);

// The same with the processor and graphics metered: the split takes the meters' figures.
void BM_AggregateOnBatteryMetered(benchmark::State& state) {
    BatteryInfo battery;
    battery.batteryPowerMw = -12'087;
    MeasuredPower measured;
    measured.packageWatts = 4.2;
    measured.dramWatts = 0.6;
    measured.gpuWatts = 1.9;
    const std::vector<AppShare> shares{
        {"Chrome", std::nullopt, 0.41}, {"VS Code", std::nullopt, 0.22}, {"Slack", std::nullopt, 0.12},
        {"Spotify", std::nullopt, 0.09}, {"终端", std::nullopt, 0.07}, {"微信", std::nullopt, 0.05},
        {"gimp", std::nullopt, 0.04}, {"__system__", std::nullopt, 0.18},
    };
    for (auto _ : state) {
        JoulemapData data = PowerAggregator::aggregate(battery, shares, measured);
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_AggregateOnBatteryMetered);

}  // namespace
