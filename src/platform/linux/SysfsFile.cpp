#include "SysfsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <system_error>

namespace joulemap::SysfsFile {

namespace {

// Attributes fit in one page; the cap only guards against being pointed at something large.
constexpr size_t kMaxFileBytes = 64 * 1024;
constexpr size_t kChunkBytes = 4096;

bool isTrailingSpace(char c) { return c == '\n' || c == '\r' || c == ' ' || c == '\t'; }

}  // namespace

std::optional<std::string> readText(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string text;
    char buffer[kChunkBytes];
    bool failed = false;
    while (text.size() < kMaxFileBytes) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            // Drivers answer some attributes with an error (ENODEV, EIO) when the value is unknown.
            failed = true;
            break;
        }
        if (n == 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (failed) return std::nullopt;
    while (!text.empty() && isTrailingSpace(text.back())) text.pop_back();
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
