#include "LinuxChargeLimitControl.h"

#include "SysfsFile.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace joulemap {

namespace {

namespace fs = std::filesystem;

constexpr char kEndFile[] = "charge_control_end_threshold";
constexpr char kStartFile[] = "charge_control_start_threshold";
constexpr int kMinPct = 1;

int thresholdPct(const fs::path& file) {
    const auto value = SysfsFile::readInt(file);
    return value && *value >= kMinPct && *value <= ChargeLimitControl::kNoLimitPct ? static_cast<int>(*value) : 0;
}

bool isPresent(const fs::path& file) {
    std::error_code ec;
    return fs::exists(file, ec);
}

// Judged with the effective ids, as the open() that follows will be.
bool isWritable(const fs::path& file) { return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0; }

// The whole value in one write, as the kernel expects; its error is the driver's answer. Never
// creates a file that is not there.
bool writeValue(const fs::path& file, int value) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    const std::string text = std::to_string(value) + "\n";
    const ssize_t written = ::write(fd, text.data(), text.size());
    const bool closed = ::close(fd) == 0;
    return written == static_cast<ssize_t>(text.size()) && closed;
}

}  // namespace

LinuxChargeLimitControl::LinuxChargeLimitControl(std::filesystem::path sysRoot) : sysRoot_(std::move(sysRoot)) {}

std::vector<fs::path> LinuxChargeLimitControl::batteryDirs() const {
    const fs::path classDir = sysRoot_ / "class" / "power_supply";
    std::vector<fs::path> dirs;
    for (const auto& name : SysfsFile::entryNames(classDir)) {
        const fs::path dir = classDir / name;
        // A mouse's or headset's battery (scope Device) is not the machine's.
        if (SysfsFile::readText(dir / "type") != "Battery" || SysfsFile::readText(dir / "scope") == "Device") continue;
        if (isPresent(dir / kEndFile)) dirs.push_back(dir);
    }
    return dirs;
}

ChargeLimitState LinuxChargeLimitControl::read() {
    const auto dirs = batteryDirs();
    if (dirs.empty()) return {};
    ChargeLimitState state;
    state.endPct = thresholdPct(dirs.front() / kEndFile);
    state.startPct = thresholdPct(dirs.front() / kStartFile);
    state.writable = std::all_of(dirs.begin(), dirs.end(), [](const fs::path& dir) {
        return isWritable(dir / kEndFile) && (!isPresent(dir / kStartFile) || isWritable(dir / kStartFile));
    });
    state.issue = state.writable ? ChargeLimitIssue::none : ChargeLimitIssue::notWritable;
    return state;
}

ChargeLimitState LinuxChargeLimitControl::setEndThreshold(int endPct) {
    ChargeLimitState before = read();
    if (!before.writable) return before;
    const int end = std::clamp(endPct, kMinPct, kNoLimitPct);
    bool accepted = true;
    for (const fs::path& dir : batteryDirs()) {
        // Drivers that insist on start below end refuse an end at or under the present start, so
        // the start goes down first. Without a limit it goes to 0: charge whenever below full.
        if (isPresent(dir / kStartFile)) {
            const int start = thresholdPct(dir / kStartFile);
            const int wanted = end >= kNoLimitPct ? 0 : (start >= end ? std::max(0, end - kRestartGapPct) : start);
            if (wanted != start) accepted = writeValue(dir / kStartFile, wanted) && accepted;
        }
        accepted = writeValue(dir / kEndFile, end) && accepted;
    }
    ChargeLimitState after = read();
    if (!accepted) after.issue = ChargeLimitIssue::writeRefused;
    return after;
}

}  // namespace joulemap
