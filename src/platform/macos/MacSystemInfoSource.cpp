#include "MacSystemInfoSource.h"

#include "ShellRunner.h"
#include "SystemInfoParser.h"

#include <utility>

namespace joulemap {

MacSystemInfoSource::MacSystemInfoSource(std::string profilerPath, std::string netstatPath)
    : profilerPath_(std::move(profilerPath)), netstatPath_(std::move(netstatPath)) {}

SystemInfo MacSystemInfoSource::collect() {
    SystemInfo info;
    const auto report = [this](const char* dataType) {
        return ShellRunner::run(profilerPath_, {dataType}).value_or(std::string{});
    };
    SystemInfoParser::parseHardwareReport(report("SPHardwareDataType"), info);
    SystemInfoParser::parseStorageReport(report("SPStorageDataType"), info);
    SystemInfoParser::parseDisplaysReport(report("SPDisplaysDataType"), info);
    return info;
}

std::optional<std::pair<uint64_t, uint64_t>> MacSystemInfoSource::networkTotals() {
    const auto text = ShellRunner::run(netstatPath_, {"-ib"});
    return text ? SystemInfoParser::netstatTotals(*text) : std::nullopt;
}

}  // namespace joulemap
