#pragma once

#include "BatteryInfo.h"
#include "JoulemapData.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

// The figures only Joulemap knows (the flow's total and bands, the applications' energies, the
// battery as it judges it) in the Prometheus text exposition format, for node_exporter's textfile
// collector. The raw power_supply attributes are node_exporter's own business.
//
// A figure that is not known is left out, never written as 0: a graph then shows a gap.
namespace joulemap::PrometheusExposition {

struct Snapshot {
    // Absent on a machine without a battery: no battery metric at all.
    std::optional<BatteryInfo> battery;
    JoulemapData flow;
    // Watt-hours per name since the program started (AppEnergyMeter::totalsWh()).
    std::map<std::string, double> appEnergyWh;
    // The charge limit in percent; when absent, the battery's end threshold below 100 is the limit.
    std::optional<int> chargeLimitPct;
};

// The whole file: every family with its # HELP and # TYPE lines, ending in a newline.
std::string render(const Snapshot& snapshot);

// A label value as the format wants it between double quotes: backslash, double quote and line
// feed escaped; everything else, any UTF-8 included, as is.
std::string escapeLabelValue(std::string_view value);

}  // namespace joulemap::PrometheusExposition
