#include "HistoryFileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace joulemap {

namespace {

// Short enough that an opener notices the end of a repair at once, long enough to cost nothing.
constexpr std::chrono::milliseconds kLockPollInterval{10};
constexpr mode_t kLockFileMode = 0600;

bool tryLock(int fd, int operation) {
    while (::flock(fd, operation | LOCK_NB) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

}  // namespace

HistoryFileLock::HistoryFileLock(const std::filesystem::path& databaseFile, std::chrono::milliseconds wait) {
    std::filesystem::path lockFile = databaseFile;
    lockFile += ".lock";
    // Close-on-exec: a tool started by the app must not keep the history locked after the app quits.
    fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kLockFileMode);
    if (fd_ < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (tryLock(fd_, LOCK_EX)) {
            role_ = Role::owner;
            return;
        }
        // Fails only while someone holds it exclusively, i.e. is checking or repairing the file.
        if (tryLock(fd_, LOCK_SH)) {
            role_ = Role::sharer;
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) return;
        std::this_thread::sleep_for(kLockPollInterval);
    }
}

HistoryFileLock::~HistoryFileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
}

void HistoryFileLock::share() {
    if (role_ != Role::owner) return;
    // The kernel drops the exclusive lock before granting the shared one, so another opener may
    // check the file in between; waiting for it is harmless, the file is sound by now.
    while (::flock(fd_, LOCK_SH) != 0) {
        if (errno != EINTR) {
            role_ = Role::none;
            return;
        }
    }
    role_ = Role::sharer;
}

}  // namespace joulemap
