#pragma once

#include "BatteryReader.h"

#include <string>

namespace joulemap {

// The battery as the registry dump of the smart battery describes it.
class MacBatteryReader : public BatteryReader {
public:
    static constexpr const char* kDefaultToolPath = "/usr/sbin/ioreg";

    // toolPath lets tests stand a script in for the registry tool.
    explicit MacBatteryReader(std::string toolPath = kDefaultToolPath);

    // Absent when the tool cannot run, prints invalid text, or prints nothing (a Mac without a
    // smart battery is a desktop, not a battery at 0 %).
    std::optional<BatteryInfo> readQuick() override;

private:
    std::string toolPath_;
};

}  // namespace joulemap
