// The profiler's power, hardware, storage and displays reports.
#include "BatteryService.h"
#include "FuzzInput.h"
#include "SystemInfoParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace joulemap;
    const auto text = fuzz::asText(data, size);
    (void)BatteryService::parseSystemHealthPct(text);
    SystemInfo info;
    SystemInfoParser::parseHardwareReport(text, info);
    SystemInfoParser::parseStorageReport(text, info);
    SystemInfoParser::parseDisplaysReport(text, info);
    return 0;
}
