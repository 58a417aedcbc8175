#include "SystemInfoRows.h"

#include "TextTranslation.h"

namespace joulemap {

namespace {

constexpr std::string_view kSeparator = " · ";
constexpr std::string_view kDownArrow = "↓";
constexpr std::string_view kUpArrow = " ↑";

std::string withCores(std::string text, const std::string& cores) {
    if (!cores.empty()) {
        text.append(kSeparator).append(withArgs(JM_TR("SystemInfoRows", "%1核"), {cores}));
    }
    return text;
}

}  // namespace

bool showsLoading(const SystemInfo& info) { return !info.isLoaded(); }

std::vector<std::pair<std::string, std::string>> systemInfoRows(const SystemInfo& info) {
    std::vector<std::pair<std::string, std::string>> rows;
    if (showsLoading(info)) return rows;

    rows.emplace_back(JM_TR("SystemInfoRows", "芯片"), withCores(info.chipName, info.coreCount));
    if (!info.memoryGB.empty()) {
        rows.emplace_back(JM_TR("SystemInfoRows", "内存"), info.memoryGB);
    }
    if (!info.diskCapacityGB.empty()) {
        std::string disk = info.diskCapacityGB;
        if (!info.diskFreeGB.empty()) disk.append(kSeparator).append(withArgs(JM_TR("SystemInfoRows", "可用 %1"), {info.diskFreeGB}));
        rows.emplace_back(JM_TR("SystemInfoRows", "硬盘"), std::move(disk));
    }
    if (!info.gpuName.empty()) {
        std::string gpu = withCores(info.gpuName, info.gpuCores);
        if (!info.metalVersion.empty()) gpu.append(kSeparator).append(info.metalVersion);
        rows.emplace_back("GPU", std::move(gpu));
    }
    // The upload rate belongs to the same measurement, so the download rate alone decides the row.
    if (!info.networkDown.empty()) {
        rows.emplace_back(kNetworkRowLabel.str(), std::string(kDownArrow) + info.networkDown +
                                                std::string(kUpArrow) + info.networkUp);
    }
    if (!info.serialNumber.empty()) {
        rows.emplace_back(JM_TR("SystemInfoRows", "序列号"), info.serialNumber);
    }
    return rows;
}

}  // namespace joulemap
