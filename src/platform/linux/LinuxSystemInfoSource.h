#pragma once

#include "SystemInfoSource.h"

#include <filesystem>
#include <string>
#include <vector>

namespace joulemap {

// The machine as the kernel describes it: DMI or the device tree for the model, procfs for the
// processor, memory and network counters, the PCI bus for the graphics chip, DRM for the display.
// gpuCores and metalVersion have no Linux counterpart and stay empty.
class LinuxSystemInfoSource : public SystemInfoSource {
public:
    // Where each tree is mounted; tests point them at fake trees.
    struct Paths {
        std::filesystem::path sysRoot = "/sys";
        std::filesystem::path procRoot = "/proc";
        std::filesystem::path rootFilesystem = "/";  // the volume whose size is shown
        // The PCI name database; the first readable one is used.
        std::vector<std::filesystem::path> pciIdsFiles{"/usr/share/misc/pci.ids",
                                                       "/usr/share/hwdata/pci.ids"};
    };

    LinuxSystemInfoSource();
    explicit LinuxSystemInfoSource(Paths paths);

    // Leaves displayResolution empty: the desktop knows the primary screen better than DRM does.
    SystemInfo collect() override;

    // Only interfaces backed by a device that are neither loopback nor point-to-point count, so
    // tunnels, bridges and container links do not count traffic twice.
    std::optional<std::pair<uint64_t, uint64_t>> networkTotals() override;

    // The preferred mode of the first connected DRM connector, "1920 x 1080".
    std::string displayResolutionFallback() override;

private:
    std::string modelName() const;
    void readProcessor(SystemInfo& info) const;
    std::string memoryText() const;
    void readDisk(SystemInfo& info) const;
    std::string gpuName() const;

    Paths paths_;
};

}  // namespace joulemap
