#include "LinuxProcessLister.h"

#include "InterpreterProgram.h"
#include "LinuxSystemProcess.h"
#include "Utf8Validation.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace joulemap {

namespace {

constexpr uint64_t kKernelThreadFlag = 0x00200000;  // PF_KTHREAD
// Fields of /proc/<pid>/stat counted from the state (field 3), the first after the name.
constexpr int kParentField = 4 - 3;
constexpr int kFlagsField = 9 - 3;
constexpr int kUtimeField = 14 - 3;
constexpr int kStimeField = 15 - 3;
constexpr int kChildUtimeField = 16 - 3;
constexpr int kChildStimeField = 17 - 3;
constexpr int kStartTimeField = 22 - 3;
constexpr std::string_view kDeletedSuffix = " (deleted)";
// The name is at most 64 bytes, so this holds the stat line well past the fields we read.
constexpr size_t kStatBufferSize = 1024;
// Enough for an interpreter, its options and the program's path; the rest is not read.
constexpr size_t kCommandLineBufferSize = 4096;
constexpr size_t kLinkBufferSize = 4096;
constexpr size_t kStatusBufferSize = 2048;
// Accounts below this (except our own) are the system's: daemons, services, root.
constexpr uid_t kFirstUserUid = 1000;
constexpr uid_t kOverflowUid = 65534;  // "nobody"

// One read of at most size bytes. A process can make its files anything a path can name, so only
// regular files are read, without blocking, and never more than the buffer. procfs hands over a
// small file whole at once, and only its beginning is needed. -1 when the process is gone.
ssize_t readStart(const char* path, char* buffer, size_t size, struct stat* info = nullptr) {
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat local {};
    struct stat& st = info ? *info : local;
    ssize_t n = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        do {
            n = ::read(fd, buffer, size);
        } while (n < 0 && errno == EINTR);
    }
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
    int64_t parentPid = 0;
    uint64_t flags = 0;
    uint64_t ticks = 0;
    uint64_t childTicks = 0;
    uint64_t startTicks = 0;
};

template <typename Number>
bool parseNumber(std::string_view text, Number& value) {
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

// The name may hold spaces and parentheses, so the fields start after the LAST ')'.
std::optional<StatFields> parseStat(std::string_view stat) {
    const size_t open = stat.find('(');
    const size_t close = stat.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return std::nullopt;
    std::array<std::string_view, kStartTimeField + 1> field;
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
    uint64_t utime = 0, stime = 0, cutime = 0, cstime = 0;
    if (!parseNumber(field[kParentField], fields.parentPid) || !parseNumber(field[kFlagsField], fields.flags) ||
        !parseNumber(field[kUtimeField], utime) || !parseNumber(field[kStimeField], stime) ||
        !parseNumber(field[kChildUtimeField], cutime) || !parseNumber(field[kChildStimeField], cstime) ||
        !parseNumber(field[kStartTimeField], fields.startTicks)) {
        return std::nullopt;
    }
    fields.ticks = utime + stime;
    fields.childTicks = cutime + cstime;
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

std::vector<std::string_view> splitArguments(std::string_view commandLine) {
    std::vector<std::string_view> arguments;
    size_t start = 0;
    while (start < commandLine.size()) {
        size_t end = commandLine.find('\0', start);
        if (end == std::string_view::npos) end = commandLine.size();
        arguments.push_back(commandLine.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

}  // namespace

LinuxProcessLister::LinuxProcessLister(std::filesystem::path procRoot)
    : root_(procRoot.string()),
      secondsPerTick_(1.0 / static_cast<double>(std::max(1L, ::sysconf(_SC_CLK_TCK)))),
      ownUid_(::geteuid()) {}

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
    seen_.reserve(lastCount_ + lastCount_ / 8);
    while (const dirent* entry = ::readdir(dir)) {
        if (isDigits(entry->d_name)) readProcess(entry->d_name, snapshot);
    }
    ::closedir(dir);
    lastCount_ = snapshot.size();
    known_.swap(seen_);
    seen_.clear();
    return snapshot;
}

// The executable, or for an interpreter the program it runs. Another user's exe link is
// unreadable; their command line usually is not.
std::string LinuxProcessLister::programOf(const char* pidText, std::string_view commandName) {
    std::array<char, kLinkBufferSize> link;
    std::string executable;
    const ssize_t linkLength = ::readlink(pathOf(pidText, "exe"), link.data(), link.size());
    if (linkLength > 0) {
        std::string_view target(link.data(), static_cast<size_t>(linkLength));
        if (target.ends_with(kDeletedSuffix)) target.remove_suffix(kDeletedSuffix.size());
        executable = target;
        // Only an interpreter's command line says more than its executable.
        if (!isInterpreter(executable)) return executable;
    }
    std::array<char, kCommandLineBufferSize> commandLine;
    const ssize_t length = readStart(pathOf(pidText, "cmdline"), commandLine.data(), commandLine.size());
    const auto arguments =
        splitArguments(std::string_view(commandLine.data(), length > 0 ? static_cast<size_t>(length) : 0));
    if (executable.empty()) {
        const std::string_view first = arguments.empty() ? std::string_view{} : arguments.front();
        executable = first.starts_with('/') ? first : commandName;
    }
    if (auto program = interpretedProgram(executable, arguments)) return std::move(*program);
    return executable;
}

bool LinuxProcessLister::isSystemAccount(const char* pidText, uid_t fileOwner) {
    uid_t uid = fileOwner;
    // A process that is not dumpable (ssh-agent, anything setuid) has its files owned by root
    // whoever runs it; its status says who really does.
    if (fileOwner == 0 && ownUid_ != 0) {
        std::array<char, kStatusBufferSize> status;
        const ssize_t length = readStart(pathOf(pidText, "status"), status.data(), status.size());
        const std::string_view text(status.data(), length > 0 ? static_cast<size_t>(length) : 0);
        constexpr std::string_view kUidLabel = "\nUid:";
        if (const size_t at = text.find(kUidLabel); at != std::string_view::npos) {
            std::string_view value = text.substr(at + kUidLabel.size());
            value.remove_prefix(std::min(value.find_first_not_of(" \t"), value.size()));
            value = value.substr(0, value.find_first_of(" \t\n"));
            if (!parseNumber(value, uid)) uid = fileOwner;
        }
    }
    if (uid == ownUid_) return false;
    return uid < kFirstUserUid || uid == kOverflowUid;
}

void LinuxProcessLister::readProcess(const char* pidText, ProcessPowerService::Snapshot& out) {
    int64_t pid = 0;
    if (!parseNumber(std::string_view(pidText), pid)) return;

    std::array<char, kStatBufferSize> stat;
    struct stat info {};
    const ssize_t statLength = readStart(pathOf(pidText, "stat"), stat.data(), stat.size(), &info);
    if (statLength <= 0) return;  // gone since the directory was listed
    const auto fields = parseStat(std::string_view(stat.data(), static_cast<size_t>(statLength)));
    if (!fields) return;

    ProcessPowerService::ProcessRecord record;
    record.cpuSeconds = static_cast<double>(fields->ticks) * secondsPerTick_;
    record.reapedChildSeconds = static_cast<double>(fields->childTicks) * secondsPerTick_;
    record.parentPid = fields->parentPid;
    record.startTicks = fields->startTicks;
    if (fields->flags & kKernelThreadFlag) {
        record.path.reserve(fields->name.size() + 2);
        record.path += '[';
        record.path += fields->name;
        record.path += ']';
        record.system = true;
    } else {
        const auto known = known_.find(pid);
        if (known != known_.end() && known->second.startTicks == fields->startTicks &&
            known->second.commandName == fields->name) {
            record.path = known->second.path;
            record.system = known->second.system;
        } else {
            record.path = toValidUtf8(programOf(pidText, fields->name));
            record.system = isSystemAccount(pidText, info.st_uid) || isLinuxSystemProgram(record.path);
        }
        seen_[pid] = KnownProgram{fields->startTicks, std::string(fields->name), record.path, record.system};
    }
    out[pid] = std::move(record);
}

}  // namespace joulemap
