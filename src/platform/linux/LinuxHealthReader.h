#pragma once

#include "HealthReader.h"

namespace joulemap {

// Linux has no figure of its own for the battery's maximum capacity in percent; 0 lets the
// health fall back to the ratio of full-charge to design capacity read from sysfs.
class LinuxHealthReader : public HealthReader {
public:
    int64_t readHealth() override;
};

}  // namespace joulemap
