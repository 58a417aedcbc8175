// The interface statistics of `netstat -ib`, through to the rate texts.
#include "FuzzInput.h"
#include "SystemInfoParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace joulemap;
    const auto totals = SystemInfoParser::netstatTotals(fuzz::asText(data, size));
    (void)SystemInfoParser::networkRate(totals, 0, 0, 1.0);
    return 0;
}
