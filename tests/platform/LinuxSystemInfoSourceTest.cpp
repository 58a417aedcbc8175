#include "linux/LinuxSystemInfoSource.h"

#include "FakeSysfs.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <fstream>
#include <regex>
#include <tuple>

namespace joulemap {
namespace {

namespace fs = std::filesystem;
using test::FakeSysfs;

// A machine tree with sys/, proc/ and a pci.ids side by side (a copy of a fixture, if named).
struct FakeMachine {
    FakeSysfs tree;

    explicit FakeMachine(const std::string& fixture = {}) : tree(fixture) {}

    LinuxSystemInfoSource source(const fs::path& rootFilesystem = {}) const {
        return LinuxSystemInfoSource({.sysRoot = tree.root / "sys",
                                      .procRoot = tree.root / "proc",
                                      .rootFilesystem = rootFilesystem.empty() ? tree.root : rootFilesystem,
                                      .pciIdsFiles = {tree.root / "missing/pci.ids", tree.root / "pci.ids"}});
    }

    // Git keeps no symbolic links to nowhere, so the driver links are made here.
    void driver(const std::string& slot, const std::string& name) const {
        fs::create_directory_symlink("../../../bus/pci/drivers/" + name,
                                     tree.root / "sys/bus/pci/devices" / slot / "driver");
    }
};

TEST(LinuxSystemInfoSource, WorkstationFromDmiCpuinfoMeminfoAndPciIds) {
    FakeMachine machine("workstation");
    machine.driver("0000:00:02.0", "i915");
    machine.driver("0000:01:00.0", "nvidia");

    const SystemInfo info = machine.source().collect();
    const std::regex size("[0-9]+ (KB|MB|GB|TB)");
    EXPECT_TRUE(std::regex_match(info.diskCapacityGB, size)) << info.diskCapacityGB;
    EXPECT_TRUE(std::regex_match(info.diskFreeGB, size)) << info.diskFreeGB;
    // 2 sockets × 2 cores, each with two threads; 15.5 GiB, the kernel's share missing; the chip the
    // firmware booted on, although another comes first on the bus. No disk name, GPU cores or Metal
    // on Linux; the resolution is left to the desktop.
    EXPECT_EQ(info,
              (SystemInfo{"ThinkStation P520", "Intel(R) Xeon(R) Silver 4110 CPU @ 2.10GHz", "4", "16 GB",
                          "S1A2B3C4", "4c4c4544-0042-3010-8052-b4c04f4d3332", "", info.diskCapacityGB,
                          info.diskFreeGB, "NVIDIA Corporation GP107 [GeForce GTX 1050 Ti]"}));

    // Without a booted chip the first display controller counts; a vendor's short name is preferred.
    machine.tree.remove("sys/bus/pci/devices/0000:01:00.0");
    EXPECT_EQ(machine.source().collect().gpuName, "Intel Corporation CoffeeLake-S GT2 [UHD Graphics 630]");
    machine.tree.remove("sys/bus/pci/devices/0000:00:02.0");
    machine.tree.set("sys/bus/pci/devices/0000:03:00.0/",
                     {"class=0x030000", "vendor=0x1002", "device=0x73ff"});
    EXPECT_EQ(machine.source().collect().gpuName, "AMD/ATI Navi 23 [Radeon RX 6600/6600 XT/6600M]");
    // A chip the database does not list goes by its driver.
    machine.tree.write("sys/bus/pci/devices/0000:03:00.0/device", "0x7340");
    machine.driver("0000:03:00.0", "amdgpu");
    EXPECT_EQ(machine.source().collect().gpuName, "amdgpu");
    machine.tree.remove("pci.ids");
    EXPECT_EQ(machine.source().collect().gpuName, "amdgpu");
}

TEST(LinuxSystemInfoSource, BoardsWithoutDmiOrTopologyFallBack) {
    FakeMachine machine;
    const auto& t = machine.tree;
    // Firmware placeholders are no model or serial number; the device tree names the board.
    t.write("sys/class/dmi/id/product_name", "To Be Filled By O.E.M.");
    t.write("sys/class/dmi/id/product_serial", "System Serial Number");
    t.write("sys/firmware/devicetree/base/model", "");
    std::ofstream(t.root / "sys/firmware/devicetree/base/model")
        << std::string("Raspberry Pi 4 Model B\0", 23);
    std::string cpuinfo;  // no core ids, no count of cores, no processor name
    for (int i = 0; i < 4; ++i) cpuinfo += "processor\t: " + std::to_string(i) + "\nCPU part\t: 0xd08\n\n";
    t.write("proc/cpuinfo", cpuinfo);

    SystemInfo info = machine.source().collect();
    EXPECT_EQ(std::tuple(info.modelName, info.serialNumber, info.coreCount),
              std::tuple("Raspberry Pi 4 Model B", "", "4"));
    EXPECT_FALSE(info.chipName.empty());  // the architecture, so the card does not wait forever

    // "cpu cores" per package stands in for missing core ids.
    t.write("proc/cpuinfo",
            "processor\t: 0\nmodel name\t: AMD Ryzen 5 3600\nphysical id\t: 0\ncpu cores\t: 6\n\n"
            "processor\t: 1\nmodel name\t: AMD Ryzen 5 3600\nphysical id\t: 0\ncpu cores\t: 6\n");
    info = machine.source().collect();
    EXPECT_EQ(std::tuple(info.chipName, info.coreCount), std::tuple("AMD Ryzen 5 3600", "6"));

    // Nothing readable at all: every field empty, no counters, no display.
    FakeMachine empty;
    auto source = empty.source(empty.tree.root / "not-mounted");
    EXPECT_EQ(source.collect(), SystemInfo{});
    EXPECT_EQ(source.networkTotals(), std::nullopt);
    EXPECT_EQ(source.displayResolutionFallback(), "");
}

TEST(LinuxSystemInfoSource, NetworkCountsOnlyDeviceBackedLinksThatAreNotLoopbackOrPointToPoint) {
    // eth0 and wlan0 count; lo (loopback), tun0 (point-to-point, even with a device), docker0 (a
    // bridge without a device) and veth9 (not in this sysfs at all) do not.
    FakeMachine machine("workstation");
    EXPECT_EQ(machine.source().networkTotals(), (std::pair<uint64_t, uint64_t>{5'000'120'000, 700'034'000}));

    // Readable but nothing that counts: zero totals, not "unreadable".
    machine.tree.write("proc/net/dev",
                       "Inter-|   Receive\n face |bytes\n    lo: 1 1 0 0 0 0 0 0 1 1 0 0 0 0 0 0");
    EXPECT_EQ(machine.source().networkTotals(), (std::pair<uint64_t, uint64_t>{0, 0}));
}

TEST(LinuxSystemInfoSource, HostileProcFilesReadAsUnknownWithoutBlockingOrWrapping) {
    FakeMachine machine("workstation");
    const auto& t = machine.tree;
    // Not files at all: a FIFO nobody writes to and a device that never ends.
    const auto removeAll = [&] {
        for (const char* file : {"proc/cpuinfo", "proc/net/dev", "proc/meminfo"}) t.remove(file);
    };
    removeAll();
    for (const char* file : {"proc/cpuinfo", "proc/net/dev"})
        ASSERT_EQ(::mkfifo((t.root / file).c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", t.root / "proc/meminfo");
    SystemInfo info = machine.source().collect();
    EXPECT_EQ(info.chipName + info.coreCount + info.memoryGB, "");
    EXPECT_EQ(machine.source().networkTotals(), std::nullopt);

    // Figures no machine has: unknown rather than wrapped round to a small one.
    removeAll();
    t.write("proc/meminfo", "MemTotal:       18446744073709551615 kB");
    t.write("proc/cpuinfo",
            "processor\t: 0\nphysical id\t: 0\ncpu cores\t: 9223372036854775807\n\n"
            "processor\t: 1\nphysical id\t: 1\ncpu cores\t: 9223372036854775807\n");
    t.write("proc/net/dev",
            "Inter-|\n face |\n"
            "  eth0: 18446744073709551615 0 0 0 0 0 0 0 18446744073709551615 0 0 0 0 0 0 0\n"
            " wlan0: 1 0 0 0 0 0 0 0 1 0 0 0 0 0 0 0");
    info = machine.source().collect();
    // The logical processors are the one count left that is sound.
    EXPECT_EQ(std::tuple(info.memoryGB, info.coreCount), std::tuple("", "2"));
    EXPECT_EQ(machine.source().networkTotals(), std::nullopt);
}

TEST(LinuxSystemInfoSource, DisplayFallbackIsThePreferredModeOfTheFirstConnectedConnector) {
    // Skipped: card0 itself, DP-1 (connected, no modes yet), DP-2 (disconnected).
    FakeMachine machine("workstation");
    EXPECT_EQ(machine.source().displayResolutionFallback(), "3840 x 2160");
    machine.tree.write("sys/class/drm/card0-HDMI-A-1/status", "disconnected");
    EXPECT_EQ(machine.source().displayResolutionFallback(), "1920 x 1200");
}

}  // namespace
}  // namespace joulemap
