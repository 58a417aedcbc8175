#include "AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace joulemap {

namespace {

constexpr mode_t kReadableByAll = 0644;

bool fail(std::string* error, const std::string& what, int code) {
    if (error) *error = what + ": " + std::strerror(code);
    return false;
}

}  // namespace

bool writeFileAtomically(const std::filesystem::path& file, std::string_view contents, std::string* error) {
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    // Hidden and unique in the same folder: the rename stays on one file system, and two writers
    // never share a temporary.
    std::string pattern = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return fail(error, "cannot write in " + folder.string(), errno);
    const auto abandon = [&](const std::string& what, int code) {
        close(fd);
        unlink(pattern.c_str());
        return fail(error, what, code);
    };
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = write(fd, contents.data() + written, contents.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return abandon("cannot write " + pattern, errno);
        written += static_cast<std::size_t>(n);
    }
    if (fchmod(fd, kReadableByAll) != 0) return abandon("cannot set the permissions of " + pattern, errno);
    if (close(fd) != 0) {
        const int code = errno;
        unlink(pattern.c_str());
        return fail(error, "cannot write " + pattern, code);
    }
    if (std::rename(pattern.c_str(), file.c_str()) != 0) {
        const int code = errno;
        unlink(pattern.c_str());
        return fail(error, "cannot replace " + file.string(), code);
    }
    return true;
}

}  // namespace joulemap
