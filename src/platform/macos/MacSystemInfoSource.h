#pragma once

#include "SystemInfoSource.h"

#include <string>

namespace joulemap {

// The hardware, storage and displays reports of the system profiler and the interface statistics
// of netstat.
class MacSystemInfoSource : public SystemInfoSource {
public:
    static constexpr const char* kProfilerPath = "/usr/sbin/system_profiler";
    static constexpr const char* kNetstatPath = "/usr/sbin/netstat";

    // The paths let tests stand scripts in for the tools.
    explicit MacSystemInfoSource(std::string profilerPath = kProfilerPath,
                                 std::string netstatPath = kNetstatPath);

    // The three reports one after the other; a report that cannot be produced leaves its fields empty.
    SystemInfo collect() override;
    std::optional<std::pair<uint64_t, uint64_t>> networkTotals() override;

private:
    std::string profilerPath_;
    std::string netstatPath_;
};

}  // namespace joulemap
