#include "SysfsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <system_error>

namespace joulemap::SysfsFile {

namespace {

constexpr size_t kChunkBytes = 4096;

bool isTrailingSpace(char c) { return c == '\n' || c == '\r' || c == ' ' || c == '\t'; }

class ScopedFd {
public:
    explicit ScopedFd(int fd) : fd_(fd) {}
    ~ScopedFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    ScopedFd(const ScopedFd&) = delete;
    ScopedFd& operator=(const ScopedFd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::optional<std::string> readBounded(const std::filesystem::path& file, size_t maxBytes) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer, for ever.
    const ScopedFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) return std::nullopt;
    // The size fstat reports means nothing here (sysfs says 4096, procfs 0); only the type counts.
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    std::string text;
    char buffer[kChunkBytes];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        // Drivers answer some attributes with an error (ENODEV, EIO) when the value is unknown.
        if (n < 0) return std::nullopt;
        if (n == 0) return text;
        // A cut-off table would parse as a smaller machine; better none at all.
        if (static_cast<size_t>(n) > maxBytes - text.size()) return std::nullopt;
        text.append(buffer, static_cast<size_t>(n));
    }
}

std::optional<std::string> readText(const std::filesystem::path& file) {
    auto text = readBounded(file, kMaxAttributeBytes);
    if (!text) return std::nullopt;
    while (!text->empty() && isTrailingSpace(text->back())) text->pop_back();
    return text;
}

std::optional<int64_t> parseInt(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || ptr != end) return std::nullopt;
    return value;
}

std::optional<int64_t> readInt(const std::filesystem::path& file) {
    const auto text = readText(file);
    if (!text) return std::nullopt;
    return parseInt(*text);
}

std::vector<std::string> entryNames(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace joulemap::SysfsFile
