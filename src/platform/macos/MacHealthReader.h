#pragma once

#include "HealthReader.h"

#include <string>

namespace joulemap {

// The maximum capacity the system profiler reports in its power section.
class MacHealthReader : public HealthReader {
public:
    static constexpr const char* kDefaultToolPath = "/usr/sbin/system_profiler";

    // toolPath lets tests stand a script in for the profiler.
    explicit MacHealthReader(std::string toolPath = kDefaultToolPath);

    // 0 when the profiler cannot run or its report has no capacity line.
    int64_t readHealth() override;

private:
    std::string toolPath_;
};

}  // namespace joulemap
