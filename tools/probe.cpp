// Reads this machine's sources once and prints what Joulemap would see, as JSON: the battery snapshot,
// the application shares of one sample, and the flow built from them. For checking the sources on
// real hardware without starting the application.
#include "JsonExport.h"
#include "PlatformSources.h"
#include "PowerAggregator.h"

#include <iostream>

namespace {

// The same interval the running application samples over.
constexpr double kSampleIntervalSeconds = 0.8;
constexpr int kJsonIndent = 2;

}  // namespace

int main() {
    using namespace joulemap;

    const std::optional<BatteryInfo> battery = BatteryService::read();
    const std::vector<AppShare> shares = ProcessPowerService::sample(kSampleIntervalSeconds);
    // A machine without a battery gets the desktop flow, exactly as the application would show it.
    const JoulemapData flow =
        battery ? PowerAggregator::aggregate(*battery, shares) : PowerAggregator::aggregateDesktop(shares);

    nlohmann::ordered_json out;
    out["battery"] = battery ? toJson(*battery) : nlohmann::ordered_json(nullptr);
    out["appShares"] = toJson(shares);
    out["flow"] = toJson(flow);
    // Names come from the machine (a power-supply folder, a process) and need not be UTF-8; dump()
    // would throw on them, so such bytes print as U+FFFD instead.
    std::cout << out.dump(kJsonIndent, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    return std::cout ? 0 : 1;
}
