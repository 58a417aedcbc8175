// Reads this machine's sources once and prints what Joulemap would see, as JSON: the battery snapshot,
// the component meters, the application shares of one sample, the flow built from them, and where
// each figure of the flow comes from on this machine. For checking the sources on real hardware
// without starting the application.
#include "JsonExport.h"
#include "PlatformSources.h"
#include "PowerAggregator.h"

#include <iostream>

namespace {

// The same interval the running application samples over; the meters' averages span it too.
constexpr double kSampleIntervalSeconds = 0.8;
constexpr int kJsonIndent = 2;

using joulemap::BatteryInfo;
using joulemap::MeasuredPower;

// One line per figure of the flow: measured (and by what) or estimated (and from what).
nlohmann::ordered_json figureSources(const std::optional<BatteryInfo>& battery, const MeasuredPower& measured) {
    nlohmann::ordered_json out;
    if (!battery) {
        out["input"] = measured.platformWatts ? "measured: RAPL psys"
                       : measured.hasComponents() ? "measured: component meters only (CPU package, GPU sensor)"
                                                  : "estimate: fixed 4 W, nothing readable";
    } else if (!battery->isExternalConnected) {
        out["input"] = "measured: battery discharge (power_supply power_now or current_now x voltage_now)";
    } else if (battery->isInputMeasured()) {
        out["input"] = "measured: charger power_now or RAPL psys, plus the charging power";
    } else {
        out["input"] = battery->consumptionEstimateMw > 0
                           ? "estimate: charging power + consumption measured on battery (smoothed)"
                           : "estimate: charging power + fixed 4 W consumption";
    }
    out["cpu"] = measured.cpuWatts()
                     ? (measured.gpuWatts || !measured.uncoreWatts
                            ? "measured: RAPL package (+ dram)"
                            : "measured: RAPL package - uncore (+ dram)")
                     : "estimate: 45 % of the hardware share";
    out["gpu"] = measured.gpuWatts       ? "measured: hwmon of the DRM device"
                 : measured.uncoreWatts ? "measured: RAPL uncore (integrated graphics)"
                                        : "estimate: 20 % of the hardware share";
    out["display"] = measured.hasComponents() ? "estimate: what the metered parts leave of the hardware share"
                                              : "estimate: 35 % of the hardware share";
    out["apps"] = "derived: CPU time shares from /proc applied to what the hardware leaves";
    return out;
}

}  // namespace

int main() {
    using namespace joulemap;

    // The meters need a baseline before they can give an average; the sample interval is the span.
    PowerMeterService::sample();
    BatteryService::readQuick();
    const std::vector<AppShare> shares = ProcessPowerService::sample(kSampleIntervalSeconds);
    const MeasuredPower measured = PowerMeterService::sample();
    const std::optional<BatteryInfo> battery = BatteryService::read();
    // A machine without a battery gets the desktop flow, exactly as the application would show it.
    const JoulemapData flow = battery ? PowerAggregator::aggregate(*battery, shares, measured)
                                      : PowerAggregator::aggregateDesktop(shares, measured);

    nlohmann::ordered_json out;
    out["battery"] = battery ? toJson(*battery) : nlohmann::ordered_json(nullptr);
    out["measured"] = toJson(measured);
    out["appShares"] = toJson(shares);
    out["flow"] = toJson(flow);
    out["sources"] = figureSources(battery, measured);
    // Names come from the machine (a power-supply folder, a process) and need not be UTF-8; dump()
    // would throw on them, so such bytes print as U+FFFD instead.
    std::cout << out.dump(kJsonIndent, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    return std::cout ? 0 : 1;
}
