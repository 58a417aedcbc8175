#pragma once

#include <string>

namespace joulemap {

// What the system information panel shows about the machine, as display strings. A field the
// platform cannot tell stays empty and the panel leaves its row out.
struct SystemInfo {
    std::string modelName{};
    std::string chipName{};
    std::string coreCount{};
    std::string memoryGB{};
    std::string serialNumber{};
    std::string hardwareUUID{};
    std::string diskName{};  // no source fills it; kept so every platform has the same record
    std::string diskCapacityGB{};
    std::string diskFreeGB{};
    std::string gpuName{};
    std::string gpuCores{};
    std::string metalVersion{};
    std::string displayResolution{};
    std::string networkDown{};
    std::string networkUp{};

    // The chip is the one field every machine reports, so its absence means "not read yet".
    bool isLoaded() const { return !chipName.empty(); }

    bool operator==(const SystemInfo&) const = default;
};

}  // namespace joulemap
