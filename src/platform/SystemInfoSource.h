#pragma once

#include "SystemInfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace joulemap {

// Describes the machine and counts its network traffic. Both calls block (the macOS reports take
// seconds) and are made from worker threads, possibly two at once.
class SystemInfoSource {
public:
    virtual ~SystemInfoSource() = default;

    // Everything but the network rates; a field the platform cannot tell stays empty.
    virtual SystemInfo collect() = 0;

    // Received and sent bytes since boot over the interfaces that count; absent when unreadable.
    virtual std::optional<std::pair<uint64_t, uint64_t>> networkTotals() = 0;

    // The resolution to show when collect() left it empty and the desktop names no screen either.
    virtual std::string displayResolutionFallback() { return {}; }
};

}  // namespace joulemap
