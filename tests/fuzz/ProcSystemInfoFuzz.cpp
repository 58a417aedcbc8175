// /proc/cpuinfo, /proc/meminfo and /proc/net/dev (NUL between them), read by the system
// information source from a scratch tree where eth0 is a real device.
#include "FuzzInput.h"
#include "linux/LinuxSystemInfoSource.h"

#include <filesystem>
#include <iterator>
#include <system_error>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace joulemap;
    static const fuzz::ScratchTree tree;
    [[maybe_unused]] static const bool device = [] {
        tree.write("sys/class/net/eth0/flags", "0x1003\n");
        std::error_code ec;
        std::filesystem::create_directory_symlink(tree.root(), tree.root() / "sys/class/net/eth0/device", ec);
        return true;
    }();
    const auto parts = fuzz::splitParts(fuzz::asText(data, size));
    constexpr const char* kFiles[] = {"proc/cpuinfo", "proc/meminfo", "proc/net/dev"};
    for (size_t i = 0; i < std::size(kFiles); ++i) {
        if (i < parts.size()) tree.write(kFiles[i], parts[i]); else tree.remove(kFiles[i]);
    }
    LinuxSystemInfoSource source({tree.root() / "sys", tree.root() / "proc", tree.root(), {}});
    (void)source.collect();
    (void)source.networkTotals();
    return 0;
}
