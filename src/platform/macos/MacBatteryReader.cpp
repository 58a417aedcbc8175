#include "MacBatteryReader.h"

#include "BatteryService.h"
#include "ShellRunner.h"

#include <algorithm>
#include <utility>

namespace joulemap {

MacBatteryReader::MacBatteryReader(std::string toolPath) : toolPath_(std::move(toolPath)) {}

std::optional<BatteryInfo> MacBatteryReader::readQuick() {
    const auto dump = ShellRunner::run(toolPath_, {"-rn", "AppleSmartBattery"});
    if (!dump) return std::nullopt;
    const bool blank = std::all_of(dump->begin(), dump->end(), [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    });
    if (blank) return std::nullopt;
    return BatteryService::parse(*dump);
}

}  // namespace joulemap
