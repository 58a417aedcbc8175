// The smart-battery registry dump, as the registry tool prints it.
#include "BatteryService.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace joulemap;
    const auto text = fuzz::asText(data, size);
    (void)BatteryService::parse(text);
    // The number readers also see single values cut out of the dump.
    (void)BatteryService::toDouble(text);
    (void)BatteryService::signedToDouble(text);
    return 0;
}
