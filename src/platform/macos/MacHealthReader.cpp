#include "MacHealthReader.h"

#include "BatteryService.h"
#include "ShellRunner.h"

#include <utility>

namespace joulemap {

MacHealthReader::MacHealthReader(std::string toolPath) : toolPath_(std::move(toolPath)) {}

int64_t MacHealthReader::readHealth() {
    const auto report = ShellRunner::run(toolPath_, {"SPPowerDataType"});
    return report ? BatteryService::parseSystemHealthPct(*report) : 0;
}

}  // namespace joulemap
