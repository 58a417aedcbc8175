#pragma once

#include <cstdint>

namespace joulemap {

// Reads the battery's maximum capacity in percent as the system reports it; 0 when unknown.
class HealthReader {
public:
    virtual ~HealthReader() = default;
    virtual int64_t readHealth() = 0;
};

}  // namespace joulemap
