// Two `ps -A -o pid=,time=,comm=` tables taken an interval apart (NUL between them), through to the
// shares shown in the diagram.
#include "FuzzInput.h"
#include "ProcessPowerService.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace joulemap;
    const auto parts = fuzz::splitParts(fuzz::asText(data, size));
    const auto before = ProcessPowerService::parseSnapshot(parts.front());
    const auto after = ProcessPowerService::parseSnapshot(parts.back());
    constexpr double kIntervalSec = 6.0;
    for (const auto& share :
         ProcessPowerService::sharesBetween(before, after, ProcessPowerService::defaultRules(), kIntervalSec)) {
        // A share is a fraction of the measured total; anything else would show as a false figure.
        if (!std::isfinite(share.fraction) || share.fraction < 0 || share.fraction > 1) std::abort();
        if (!std::isfinite(share.corePercent) || share.corePercent < 0) std::abort();
    }
    return 0;
}
