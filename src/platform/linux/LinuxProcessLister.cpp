#include "LinuxProcessLister.h"

#include "Utf8Validation.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace joulemap {

namespace {

constexpr uint64_t kKernelThreadFlag = 0x00200000;  // PF_KTHREAD
// Fields of /proc/<pid>/stat counted from the state (field 3), the first after the name.
constexpr int kFlagsField = 9 - 3;
constexpr int kUtimeField = 14 - 3;
constexpr int kStimeField = 15 - 3;
constexpr std::string_view kDeletedSuffix = " (deleted)";
// The name is at most 64 bytes, so this holds the stat line well past the fields we read.
constexpr size_t kStatBufferSize = 1024;
constexpr size_t kLinkBufferSize = 4096;

// One read: procfs hands over a whole small file at once, and only its beginning is needed, so
// waiting for end of file would cost a second system call per file. -1 when the process is gone.
ssize_t readStart(const char* path, char* buffer, size_t size) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    ssize_t n;
    do {
        n = ::read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    return n;
}

bool isDigits(const char* text) {
    if (*text == '\0') return false;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9') return false;
    }
    return true;
}

struct StatFields {
    std::string_view name;
    uint64_t flags = 0;
    uint64_t ticks = 0;
};

bool parseNumber(std::string_view text, uint64_t& value) {
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

// The name may hold spaces and parentheses, so the fields start after the LAST ')'.
std::optional<StatFields> parseStat(std::string_view stat) {
    const size_t open = stat.find('(');
    const size_t close = stat.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return std::nullopt;
    std::array<std::string_view, kStimeField + 1> field;
    std::string_view rest = stat.substr(close + 1);
    for (auto& f : field) {
        const size_t start = rest.find_first_not_of(" \n");
        if (start == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(start);
        f = rest.substr(0, rest.find_first_of(" \n"));
        rest.remove_prefix(f.size());
    }
    StatFields fields;
    fields.name = stat.substr(open + 1, close - open - 1);
    uint64_t utime = 0, stime = 0;
    if (!parseNumber(field[kFlagsField], fields.flags) || !parseNumber(field[kUtimeField], utime) ||
        !parseNumber(field[kStimeField], stime)) {
        return std::nullopt;
    }
    fields.ticks = utime + stime;
    return fields;
}

// File names on Linux are bytes; everything downstream (display, JSON) expects UTF-8, as the
// ps source guarantees. Each byte that does not start a valid sequence becomes U+FFFD.
std::string toValidUtf8(std::string text) {
    if (isValidUtf8(text)) return text;
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string_view sequence = std::string_view(text).substr(i, length);
        if (isValidUtf8(sequence)) {
            out += sequence;
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

}  // namespace

LinuxProcessLister::LinuxProcessLister(std::filesystem::path procRoot)
    : root_(procRoot.string()),
      secondsPerTick_(1.0 / static_cast<double>(std::max(1L, ::sysconf(_SC_CLK_TCK)))) {}

const char* LinuxProcessLister::pathOf(const char* pidText, const char* leaf) {
    pathBuffer_.assign(root_);
    pathBuffer_ += '/';
    pathBuffer_ += pidText;
    pathBuffer_ += '/';
    pathBuffer_ += leaf;
    return pathBuffer_.c_str();
}

ProcessPowerService::Snapshot LinuxProcessLister::snapshot() {
    ProcessPowerService::Snapshot snapshot;
    DIR* dir = ::opendir(root_.c_str());
    if (!dir) return snapshot;
    snapshot.reserve(lastCount_ + lastCount_ / 8);
    while (const dirent* entry = ::readdir(dir)) {
        if (isDigits(entry->d_name)) readProcess(entry->d_name, snapshot);
    }
    ::closedir(dir);
    lastCount_ = snapshot.size();
    return snapshot;
}

void LinuxProcessLister::readProcess(const char* pidText, ProcessPowerService::Snapshot& out) {
    int64_t pid = 0;
    const std::string_view pidView(pidText);
    if (std::from_chars(pidView.data(), pidView.data() + pidView.size(), pid).ec != std::errc()) return;

    std::array<char, kStatBufferSize> stat;
    const ssize_t statLength = readStart(pathOf(pidText, "stat"), stat.data(), stat.size());
    if (statLength <= 0) return;  // gone since the directory was listed
    const auto fields = parseStat(std::string_view(stat.data(), static_cast<size_t>(statLength)));
    if (!fields) return;

    std::string path;
    if (fields->flags & kKernelThreadFlag) {
        path.reserve(fields->name.size() + 2);
        path += '[';
        path += fields->name;
        path += ']';
    } else {
        std::array<char, kLinkBufferSize> link;
        // Another user's exe link is unreadable; their command line usually is not.
        const ssize_t linkLength = ::readlink(pathOf(pidText, "exe"), link.data(), link.size());
        if (linkLength > 0) {
            std::string_view target(link.data(), static_cast<size_t>(linkLength));
            if (target.ends_with(kDeletedSuffix)) target.remove_suffix(kDeletedSuffix.size());
            path = target;
        } else {
            const ssize_t cmdLength = readStart(pathOf(pidText, "cmdline"), link.data(), link.size());
            const std::string_view cmdline(link.data(), cmdLength > 0 ? static_cast<size_t>(cmdLength) : 0);
            const std::string_view first = cmdline.substr(0, cmdline.find('\0'));
            path = first.starts_with('/') ? first : fields->name;
        }
    }
    out[pid] = {static_cast<double>(fields->ticks) * secondsPerTick_, toValidUtf8(std::move(path))};
}

}  // namespace joulemap
