// The system information work: the interface counters read every 3 s while the main window is
// shown, and the one-off description of the machine.
#include "SystemInfoParser.h"
#include "linux/LinuxSystemInfoSource.h"

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string readFixture(const std::string& name) {
    std::ifstream in(std::string(JOULEMAP_FIXTURES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A busy Mac: the fixture's interfaces eight times over, about 120 rows.
void BM_NetstatTotals(benchmark::State& state) {
    const std::string fixture = readFixture("netstat/netstat-ib.txt");
    const std::string rows = fixture.substr(fixture.find('\n') + 1);
    std::string text = fixture.substr(0, fixture.find('\n') + 1);
    for (int i = 0; i < 8; ++i) text += rows;
    for (auto _ : state) {
        benchmark::DoNotOptimize(joulemap::SystemInfoParser::netstatTotals(text));
    }
}
BENCHMARK(BM_NetstatTotals);

void BM_LinuxNetworkTotalsOfThisMachine(benchmark::State& state) {
    joulemap::LinuxSystemInfoSource source;
    for (auto _ : state) {
        benchmark::DoNotOptimize(source.networkTotals());
    }
}
BENCHMARK(BM_LinuxNetworkTotalsOfThisMachine);

void BM_LinuxCollectOfThisMachine(benchmark::State& state) {
    joulemap::LinuxSystemInfoSource source;
    for (auto _ : state) {
        benchmark::DoNotOptimize(source.collect());
    }
}
BENCHMARK(BM_LinuxCollectOfThisMachine)->Unit(benchmark::kMillisecond);

// The worst case of the graphics name: a full-size PCI database (about 1.3 MB) whose matching
// vendor comes last.
void BM_LinuxCollectWithLargePciDatabase(benchmark::State& state) {
    std::string dir = (fs::temp_directory_path() / "joulemap-bench-XXXXXX").string();
    const fs::path root = ::mkdtemp(dir.data());
    const fs::path device = root / "sys/bus/pci/devices/0000:01:00.0";
    fs::create_directories(device);
    std::ofstream(device / "class") << "0x030000\n";
    std::ofstream(device / "vendor") << "0xfffe\n";
    std::ofstream(device / "device") << "0x0042\n";
    {
        std::ofstream ids(root / "pci.ids");
        char line[96];
        for (int vendor = 0; vendor < 0xfffe && ids.tellp() < 1'300'000; vendor += 7) {
            std::snprintf(line, sizeof line, "%04x  Vendor number %d\n", vendor, vendor);
            ids << line;
            for (int id = 0; id < 8; ++id) {
                std::snprintf(line, sizeof line, "\t%04x  Device %d of vendor %d [Product]\n", id, id,
                              vendor);
                ids << line;
            }
        }
        ids << "fffe  Last Vendor\n\t0042  The Chip\n";
    }
    joulemap::LinuxSystemInfoSource::Paths paths;
    paths.sysRoot = root / "sys";
    paths.pciIdsFiles = {root / "pci.ids"};
    joulemap::LinuxSystemInfoSource source(paths);
    if (source.collect().gpuName != "Last Vendor The Chip") state.SkipWithError("the chip was not found");
    for (auto _ : state) {
        benchmark::DoNotOptimize(source.collect());
    }
    fs::remove_all(root);
}
BENCHMARK(BM_LinuxCollectWithLargePciDatabase)->Unit(benchmark::kMillisecond);

}  // namespace
