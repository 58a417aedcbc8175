#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace joulemap {

namespace {

bool fail(std::string* error, const std::string& what, int errorNumber) {
    if (error) *error = what + ": " + std::strerror(errorNumber);
    return false;
}

}  // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents, std::string* error) {
    // Unique per process and call site, and hidden: a collector reading every "*.prom" of the folder
    // must not pick the temporary up.
    std::filesystem::path partial = path.parent_path() / ("." + path.filename().string() + ".part-" + std::to_string(::getpid()));
    const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return fail(error, "cannot create " + partial.string(), errno);

    std::string_view rest = contents;
    while (!rest.empty()) {
        const ssize_t written = ::write(fd, rest.data(), rest.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            const int saved = written < 0 ? errno : EIO;
            ::close(fd);
            ::unlink(partial.c_str());
            return fail(error, "cannot write " + partial.string(), saved);
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    // A full disk may only show at close (network file systems report late).
    if (::close(fd) != 0) {
        const int saved = errno;
        ::unlink(partial.c_str());
        return fail(error, "cannot write " + partial.string(), saved);
    }
    if (::rename(partial.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        ::unlink(partial.c_str());
        return fail(error, "cannot replace " + path.string(), saved);
    }
    return true;
}

}  // namespace joulemap
