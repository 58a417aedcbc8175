#include "LinuxSystemInfoSource.h"

#include "SysfsFile.h"
#include "SystemInfoParser.h"

#include <sys/statvfs.h>
#include <sys/utsname.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <set>
#include <string_view>
#include <system_error>
#include <utility>

namespace joulemap {

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kKibPerGib = 1024 * 1024;

// Interface flags of <linux/if.h>.
constexpr uint64_t kIffLoopback = 0x8;
constexpr uint64_t kIffPointToPoint = 0x10;

// /proc/net/dev: after "name:", received bytes come first and sent bytes ninth.
constexpr size_t kNetDevReceivedBytes = 0;
constexpr size_t kNetDevSentBytes = 8;

// PCI base class 03: display controllers (VGA, XGA, 3D).
constexpr std::string_view kDisplayControllerClass = "0x03";

// Firmware fills DMI fields it does not know with such texts; they describe no machine.
constexpr std::array<std::string_view, 8> kDmiPlaceholders{"to be filled by o.e.m.",
                                                           "system product name",
                                                           "system serial number",
                                                           "default string",
                                                           "not specified",
                                                           "not applicable",
                                                           "none",
                                                           "03000200-0400-0500-0006-000700080009"};

// cpuinfo names the processor under different keys per architecture: x86, 32-bit ARM, MIPS,
// PowerPC, RISC-V.
constexpr std::array<std::string_view, 5> kProcessorNameKeys{"model name", "Processor", "cpu model", "cpu",
                                                             "uarch"};

// procfs tables outgrow the attribute-sized reads of SysfsFile; the caps leave ample room (the
// cpuinfo of a 1,024-thread machine is about 1.5 MB, pci.ids about 1.4 MB) and only stop a file
// that is not what its name says from filling memory.
constexpr size_t kMaxCpuinfoBytes = 8 * 1024 * 1024;
constexpr size_t kMaxMeminfoBytes = 64 * 1024;
constexpr size_t kMaxNetDevBytes = 4 * 1024 * 1024;
constexpr size_t kMaxPciIdsBytes = 16 * 1024 * 1024;

// More than any machine has; a larger figure is a fault in the file, not a machine.
constexpr uint64_t kMaxPlausibleMemoryKib = uint64_t{1} << 40;  // 1 PiB
constexpr uint64_t kMaxPlausibleCores = 1 << 20;

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> result;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> result;
    size_t start = 0;
    while (true) {
        start = s.find_first_not_of(" \t", start);
        if (start == std::string_view::npos) break;
        size_t end = s.find_first_of(" \t", start);
        if (end == std::string_view::npos) end = s.size();
        result.push_back(s.substr(start, end - start));
        start = end;
    }
    return result;
}

// Firmware strings are often padded; runs of spaces collapse to one.
std::string tidy(std::string_view s) {
    std::string result;
    for (const auto word : words(s)) {
        if (!result.empty()) result += ' ';
        result.append(word);
    }
    return result;
}

std::string lowercase(std::string_view s) {
    std::string result(s);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::optional<uint64_t> parseUnsigned(std::string_view s, int base = 10) {
    if (base == 16 && (s.starts_with("0x") || s.starts_with("0X"))) s.remove_prefix(2);
    uint64_t value = 0;
    const char* end = s.data() + s.size();
    const auto [ptr, ec] = std::from_chars(s.data(), end, value, base);
    if (s.empty() || ec != std::errc{} || ptr != end) return std::nullopt;
    return value;
}

// A DMI attribute, empty when unreadable (serial and UUID are root-only) or a placeholder.
std::string dmiField(const fs::path& sysRoot, const char* name) {
    const auto text = SysfsFile::readText(sysRoot / "class/dmi/id" / name);
    if (!text) return {};
    std::string value = tidy(*text);
    const std::string lower = lowercase(value);
    const bool placeholder =
        std::find(kDmiPlaceholders.begin(), kDmiPlaceholders.end(), lower) != kDmiPlaceholders.end();
    return placeholder ? std::string{} : value;
}

// Device-tree strings end in NUL bytes.
std::string deviceTreeString(const fs::path& file) {
    auto text = SysfsFile::readText(file);
    if (!text) return {};
    const auto end = text->find('\0');
    return tidy(std::string_view(*text).substr(0, end));
}

using CpuBlock = std::vector<std::pair<std::string_view, std::string_view>>;

// One block per logical processor, "key<TAB>: value" lines.
std::vector<CpuBlock> cpuBlocks(std::string_view text) {
    std::vector<CpuBlock> blocks(1);
    for (const auto line : lines(text)) {
        if (trim(line).empty()) {
            if (!blocks.back().empty()) blocks.emplace_back();
            continue;
        }
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        blocks.back().emplace_back(trim(line.substr(0, colon)), trim(line.substr(colon + 1)));
    }
    if (blocks.back().empty()) blocks.pop_back();
    return blocks;
}

std::optional<std::string_view> value(const CpuBlock& block, std::string_view key) {
    for (const auto& [k, v] : block) {
        if (k == key) return v;
    }
    return std::nullopt;
}

// Physical cores: distinct (package, core) pairs, so hyperthreads count once. Kernels that omit
// the topology give "cpu cores" per package, else only the number of logical processors.
std::string coreCountText(const std::vector<CpuBlock>& blocks) {
    std::set<std::pair<std::string_view, std::string_view>> cores;
    std::set<std::string_view> packages;
    size_t processors = 0;
    bool topologyComplete = true;
    std::optional<uint64_t> coresPerPackage;
    for (const auto& block : blocks) {
        if (!value(block, "processor")) continue;
        ++processors;
        const auto package = value(block, "physical id").value_or("");
        packages.insert(package);
        if (const auto core = value(block, "core id")) {
            cores.emplace(package, *core);
        } else {
            topologyComplete = false;
        }
        if (const auto perPackage = value(block, "cpu cores"); perPackage && !coresPerPackage) {
            coresPerPackage = parseUnsigned(*perPackage);
        }
    }
    if (processors == 0) return {};
    if (topologyComplete) return std::to_string(cores.size());
    uint64_t total = 0;
    if (coresPerPackage && *coresPerPackage > 0 &&
        !__builtin_mul_overflow(*coresPerPackage, uint64_t{packages.size()}, &total) && total <= kMaxPlausibleCores) {
        return std::to_string(total);
    }
    return std::to_string(processors);
}

std::string processorName(const std::vector<CpuBlock>& blocks) {
    for (const auto key : kProcessorNameKeys) {
        for (const auto& block : blocks) {
            if (const auto name = value(block, key); name && !name->empty()) return tidy(*name);
        }
    }
    // Some ARM kernels name no processor at all; the architecture still beats a card that never
    // stops loading.
    struct utsname system {};
    if (::uname(&system) == 0) return system.machine;
    return {};
}

// "1920x1080" -> "1920 x 1080", as the desktop's resolution is shown; anything else as read.
std::string resolutionText(std::string_view mode) {
    const auto x = mode.find('x');
    if (x == std::string_view::npos) return std::string(mode);
    const auto width = mode.substr(0, x);
    const auto height = mode.substr(x + 1);
    if (!parseUnsigned(width) || !parseUnsigned(height)) return std::string(mode);
    return std::string(width) + " x " + std::string(height);
}

// "Advanced Micro Devices, Inc. [AMD/ATI]" -> "AMD/ATI": the short name where the database has one.
std::string_view vendorShortName(std::string_view vendor) {
    const auto open = vendor.rfind('[');
    if (open != std::string_view::npos && vendor.ends_with(']')) {
        return vendor.substr(open + 1, vendor.size() - open - 2);
    }
    return vendor;
}

// "<vendor> <device>" from a pci.ids file; empty when the device is not listed.
std::string pciDeviceName(const fs::path& database, std::string_view vendorId, std::string_view deviceId) {
    const auto text = SysfsFile::readBounded(database, kMaxPciIdsBytes);
    if (!text) return {};
    std::string vendor;
    for (const auto view : lines(*text)) {
        if (view.empty() || view[0] == '#') continue;
        if (vendor.empty()) {
            // Vendor lines: "10de  NVIDIA Corporation" at the start of a line.
            if (view.size() > 6 && view.substr(0, 4) == vendorId && view.substr(4, 2) == "  ") {
                vendor = std::string(trim(view.substr(6)));
            }
            continue;
        }
        if (view[0] != '\t') break;  // the vendor's block ended without the device
        // Device lines have one tab; subsystem lines two.
        if (view.size() > 7 && view[1] != '\t' && view.substr(1, 4) == deviceId &&
            view.substr(5, 2) == "  ") {
            return std::string(vendorShortName(vendor)) + " " + std::string(trim(view.substr(7)));
        }
    }
    return {};
}

std::string hexId(const fs::path& file) {
    const auto text = SysfsFile::readText(file);
    if (!text) return {};
    std::string id = lowercase(trim(*text));
    if (id.starts_with("0x")) id.erase(0, 2);
    return id;
}

}  // namespace

LinuxSystemInfoSource::LinuxSystemInfoSource() : LinuxSystemInfoSource(Paths{}) {}

LinuxSystemInfoSource::LinuxSystemInfoSource(Paths paths) : paths_(std::move(paths)) {}

SystemInfo LinuxSystemInfoSource::collect() {
    SystemInfo info;
    info.modelName = modelName();
    readProcessor(info);
    info.memoryGB = memoryText();
    info.serialNumber = dmiField(paths_.sysRoot, "product_serial");
    info.hardwareUUID = dmiField(paths_.sysRoot, "product_uuid");
    readDisk(info);
    info.gpuName = gpuName();
    return info;
}

std::string LinuxSystemInfoSource::modelName() const {
    if (auto name = dmiField(paths_.sysRoot, "product_name"); !name.empty()) return name;
    // Boards without DMI (ARM) describe themselves in the device tree, which procfs also links.
    if (auto name = deviceTreeString(paths_.sysRoot / "firmware/devicetree/base/model"); !name.empty())
        return name;
    return deviceTreeString(paths_.procRoot / "device-tree/model");
}

void LinuxSystemInfoSource::readProcessor(SystemInfo& info) const {
    const auto text = SysfsFile::readBounded(paths_.procRoot / "cpuinfo", kMaxCpuinfoBytes);
    if (!text) return;
    const auto blocks = cpuBlocks(*text);
    info.chipName = processorName(blocks);
    info.coreCount = coreCountText(blocks);
}

std::string LinuxSystemInfoSource::memoryText() const {
    const auto text = SysfsFile::readBounded(paths_.procRoot / "meminfo", kMaxMeminfoBytes);
    if (!text) return {};
    for (const auto line : lines(*text)) {
        if (!line.starts_with("MemTotal:")) continue;
        const auto fields = words(line.substr(std::string_view("MemTotal:").size()));
        const auto kib = fields.empty() ? std::nullopt : parseUnsigned(fields.front());
        if (!kib || *kib == 0 || *kib > kMaxPlausibleMemoryKib) return {};
        // The kernel keeps part of the memory for itself (and the graphics chip), so MemTotal is
        // always a little below what is installed: rounding up gives the installed size.
        return std::to_string((*kib + kKibPerGib - 1) / kKibPerGib) + " GB";
    }
    return {};
}

void LinuxSystemInfoSource::readDisk(SystemInfo& info) const {
    struct statvfs volume {};
    if (::statvfs(paths_.rootFilesystem.c_str(), &volume) != 0) return;
    const uint64_t blockBytes = volume.f_frsize;
    info.diskCapacityGB = SystemInfoParser::diskSizeText(volume.f_blocks * blockBytes);
    // What the user can still write: the blocks reserved for root do not count.
    info.diskFreeGB = SystemInfoParser::diskSizeText(volume.f_bavail * blockBytes);
}

std::string LinuxSystemInfoSource::gpuName() const {
    const fs::path devices = paths_.sysRoot / "bus/pci/devices";
    std::optional<fs::path> chosen;
    for (const auto& name : SysfsFile::entryNames(devices)) {
        const fs::path device = devices / name;
        const auto pciClass = SysfsFile::readText(device / "class");
        if (!pciClass || !pciClass->starts_with(kDisplayControllerClass)) continue;
        // With two graphics chips, the one the firmware booted on drives the screen.
        if (SysfsFile::readInt(device / "boot_vga") == 1) {
            chosen = device;
            break;
        }
        if (!chosen) chosen = device;
    }
    if (!chosen) return {};

    const auto vendorId = hexId(*chosen / "vendor");
    const auto deviceId = hexId(*chosen / "device");
    if (!vendorId.empty() && !deviceId.empty()) {
        for (const auto& database : paths_.pciIdsFiles) {
            std::error_code ec;
            if (!fs::is_regular_file(database, ec)) continue;
            if (auto name = pciDeviceName(database, vendorId, deviceId); !name.empty()) return name;
            break;
        }
    }
    std::error_code ec;
    const auto driver = fs::read_symlink(*chosen / "driver", ec);
    return ec ? std::string{} : driver.filename().string();
}

std::optional<std::pair<uint64_t, uint64_t>> LinuxSystemInfoSource::networkTotals() {
    const auto text = SysfsFile::readBounded(paths_.procRoot / "net/dev", kMaxNetDevBytes);
    if (!text || text->empty()) return std::nullopt;
    uint64_t in = 0;
    uint64_t out = 0;
    for (const auto line : lines(*text)) {
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;  // the two header lines
        const std::string name(trim(line.substr(0, colon)));
        const auto counters = words(line.substr(colon + 1));
        if (name.empty() || counters.size() <= kNetDevSentBytes) continue;

        const fs::path interface = paths_.sysRoot / "class/net" / name;
        const auto flags = SysfsFile::readText(interface / "flags");
        const auto flagBits = flags ? parseUnsigned(trim(*flags), 16) : std::nullopt;
        if (!flagBits || (*flagBits & (kIffLoopback | kIffPointToPoint)) != 0) continue;
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(interface / "device", ec))) continue;

        const auto received = parseUnsigned(counters[kNetDevReceivedBytes]);
        const auto sent = parseUnsigned(counters[kNetDevSentBytes]);
        if (!received || !sent) continue;
        // A sum that wraps would read as a huge drop in traffic; unknown is the honest answer.
        if (__builtin_add_overflow(in, *received, &in) || __builtin_add_overflow(out, *sent, &out)) {
            return std::nullopt;
        }
    }
    return std::pair{in, out};
}

std::string LinuxSystemInfoSource::displayResolutionFallback() {
    const fs::path drm = paths_.sysRoot / "class/drm";
    for (const auto& name : SysfsFile::entryNames(drm)) {
        // Connectors are "card0-eDP-1"; "card0" itself and "renderD128" are not.
        if (!name.starts_with("card") || name.find('-') == std::string::npos) continue;
        if (SysfsFile::readText(drm / name / "status") != "connected") continue;
        const auto modes = SysfsFile::readText(drm / name / "modes");
        if (!modes) continue;
        // The first mode is the one the display prefers.
        const auto first = trim(std::string_view(*modes).substr(0, modes->find('\n')));
        if (!first.empty()) return resolutionText(first);
    }
    return {};
}

}  // namespace joulemap
