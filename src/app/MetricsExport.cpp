#include "MetricsExport.h"

#include "PowerAggregator.h"
#include "PrometheusTextfileWriter.h"

#include <cstdio>

namespace joulemap::MetricsExport {

bool exportOnce(const std::filesystem::path& file, const ModelSources& sources, std::string* error) {
    // The first readings of energy counters only set their baselines; the sample's wait gives the
    // second ones an interval to average over.
    if (sources.readPower) sources.readPower();
    if (sources.readBattery) sources.readBattery();
    const std::vector<AppShare> shares = sources.sampleProcesses ? sources.sampleProcesses() : std::vector<AppShare>{};
    const MeasuredPower measured = sources.readPower ? sources.readPower() : MeasuredPower{};
    const std::optional<BatteryInfo> battery = sources.readBattery ? sources.readBattery() : std::nullopt;

    PrometheusExposition::Snapshot snapshot;
    snapshot.battery = battery;
    snapshot.flow = battery ? PowerAggregator::aggregate(*battery, shares, measured)
                            : PowerAggregator::aggregateDesktop(shares, measured);
    return PrometheusTextfileWriter::write(file, snapshot, error);
}

int run(const std::filesystem::path& file) {
    std::string error;
    if (exportOnce(file, ModelSources::platformDefaults(), &error)) return 0;
    std::fprintf(stderr, "joulemap: %s\n", error.c_str());
    return 1;
}

}  // namespace joulemap::MetricsExport
