#include "ShellRunner.h"

#include "Utf8Validation.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <optional>

extern char** environ;

namespace joulemap::ShellRunner {

namespace {

using Clock = std::chrono::steady_clock;

// Keeps the deadline arithmetic clear of overflow for absurdly long timeouts.
constexpr std::chrono::milliseconds kLongestTimeout = std::chrono::hours(24 * 365);
constexpr std::chrono::milliseconds kLongestReapPause{20};
constexpr size_t kReadChunkBytes = 64 * 1024;
// Far beyond any report we parse; a tool printing more is broken (or `yes`) and must not fill memory.
constexpr size_t kMaxOutputBytes = 16 * 1024 * 1024;
// After the child exits, what is still arriving comes from grandchildren; a moment is enough for
// the child's own output, which is already in the pipe.
constexpr std::chrono::milliseconds kDrainAfterExit{100};
constexpr std::chrono::milliseconds kExitCheckInterval{20};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

// posix_spawn's file actions are pure data; the destructor frees them on every path.
struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    bool ok = false;

    SpawnSetup() {
        if (posix_spawn_file_actions_init(&actions) != 0) return;
        if (posix_spawnattr_init(&attributes) != 0) {
            posix_spawn_file_actions_destroy(&actions);
            return;
        }
        ok = true;
    }
    ~SpawnSetup() {
        if (!ok) return;
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

// A pipe end that landed on 0, 1 or 2 (the parent had closed its own standard streams) would be
// clobbered by the child's redirections; move it above them.
bool moveAboveStandardStreams(FileDescriptor& fd) {
    if (fd.get() > STDERR_FILENO) return true;
    const int moved = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (moved < 0) return false;
    fd.reset(moved);
    return true;
}

// Milliseconds left until deadline, rounded up so a poll never wakes just before it; 0 when past.
int millisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::clamp<int64_t>(left.count(), 0, INT_MAX));
}

// waitid without WNOWAIT would reap the child; left a zombie, its pid and process group stay
// ours, so killing the group later cannot hit a stranger.
bool hasExited(pid_t pid) {
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
        if (errno != EINTR) return true;  // not ours to wait for any more: nothing left to read for
    }
    return info.si_pid == pid;
}

enum class ReadEnd { endOfFile, childExited, timedOut, tooLarge, failed };

// Reads the child's output until end of file, or until shortly after the child exits: a grandchild
// that inherited the pipe (a daemon it started, a background job) can hold it open for ever, while
// everything the child itself wrote is in the pipe by the time it exits.
ReadEnd readOutput(int fd, pid_t pid, Clock::time_point deadline, std::string& out) {
#ifdef SYS_pidfd_open
    // Readable once the child exits, so the wait needs no polling.
    FileDescriptor exitSignal(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
#else
    FileDescriptor exitSignal;
#endif
    std::optional<Clock::time_point> stopAt;
    char chunk[kReadChunkBytes];
    for (;;) {
        if (!stopAt && hasExited(pid)) stopAt = std::min(deadline, Clock::now() + kDrainAfterExit);
        const auto until = stopAt.value_or(deadline);
        if (Clock::now() >= until) return stopAt ? ReadEnd::childExited : ReadEnd::timedOut;
        pollfd watched[2] = {{fd, POLLIN, 0}, {exitSignal.get(), POLLIN, 0}};
        const bool watchExit = !stopAt && exitSignal.get() >= 0;
        int waitMs = millisecondsUntil(until);
        // Without a pidfd the exit is only noticed by asking now and then.
        if (!stopAt && !watchExit) waitMs = std::min(waitMs, static_cast<int>(kExitCheckInterval.count()));
        const int ready = ::poll(watched, watchExit ? 2 : 1, waitMs);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return ReadEnd::failed;
        }
        if ((watched[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return ReadEnd::failed;
        }
        if (got == 0) return ReadEnd::endOfFile;
        out.append(chunk, static_cast<size_t>(got));
        if (out.size() > kMaxOutputBytes) return ReadEnd::tooLarge;
    }
}

enum class Reaped { exited, timedOut, lost };

// Waits for the child's exit until the deadline; status is filled once it is reaped. `lost` means
// waitpid failed (someone else reaped it): the pid may no longer be ours to kill.
Reaped reapBefore(pid_t pid, Clock::time_point deadline, int& status) {
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return Reaped::exited;
        if (done < 0 && errno != EINTR) return Reaped::lost;
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) return Reaped::timedOut;
        const auto sleepFor = std::min<Clock::duration>(pause, left);
        ::usleep(
            static_cast<useconds_t>(std::chrono::duration_cast<std::chrono::microseconds>(sleepFor).count()));
        pause = std::min(pause * 2, kLongestReapPause);
    }
}

// The child leads its own process group, so this also ends whatever it started. Called before the
// child is reaped, while the group id cannot have been handed to anyone else.
void killGroupAndReap(pid_t pid) {
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

bool configure(SpawnSetup& setup, int pipeWrite) {
    if (posix_spawn_file_actions_adddup2(&setup.actions, pipeWrite, STDOUT_FILENO) != 0) return false;
    // Tool diagnostics must never reach a parser.
    if (posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0) != 0) {
        return false;
    }
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // Our own descriptors are close-on-exec, but other code in the process may have opened some
    // without it; a tool must not hold them (or keep someone else's pipe open).
    if (posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1) != 0) return false;
#endif
    // A worker thread may block signals, and the application may ignore SIGPIPE; the tool should
    // start as if from a shell.
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    // Its own process group, so a timeout can end the tool together with everything it started.
    return posix_spawnattr_setsigmask(&setup.attributes, &none) == 0 &&
           posix_spawnattr_setsigdefault(&setup.attributes, &defaults) == 0 &&
           posix_spawnattr_setpgroup(&setup.attributes, 0) == 0 &&
           posix_spawnattr_setflags(&setup.attributes,
                                    POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP) == 0;
}

}  // namespace

Outcome runDetailed(const std::string& path, const std::vector<std::string>& args,
                    std::chrono::milliseconds timeout) {
    const auto deadline =
        Clock::now() + std::clamp(timeout, std::chrono::milliseconds::zero(), kLongestTimeout);

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return {};
    FileDescriptor pipeRead(ends[0]);
    FileDescriptor pipeWrite(ends[1]);
    if (!moveAboveStandardStreams(pipeRead) || !moveAboveStandardStreams(pipeWrite)) return {};

    std::vector<char*> argv;
    argv.reserve(args.size() + 2);
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    SpawnSetup setup;
    if (!setup.ok || !configure(setup, pipeWrite.get())) return {};
    pid_t pid = 0;
    // posix_spawn, not posix_spawnp: the path is run as given, never looked up in PATH.
    if (posix_spawn(&pid, path.c_str(), &setup.actions, &setup.attributes, argv.data(), environ) != 0) {
        return {};
    }
    // Only the child may hold the write end, or the read below would never see end of file.
    pipeWrite.reset();

    // Read to the end before waiting: a child printing more than the pipe holds would otherwise
    // block on the full pipe while we wait for it.
    std::string output;
    int status = 0;
    switch (readOutput(pipeRead.get(), pid, deadline, output)) {
        case ReadEnd::endOfFile:
        case ReadEnd::childExited:
            break;
        case ReadEnd::timedOut:
        case ReadEnd::tooLarge:
        case ReadEnd::failed:
            killGroupAndReap(pid);
            return {};
    }
    switch (reapBefore(pid, deadline, status)) {
        case Reaped::exited:
            break;
        case Reaped::timedOut:
            killGroupAndReap(pid);
            return {};
        case Reaped::lost:
            return {};
    }

    Outcome outcome;
    outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (isValidUtf8(output)) outcome.output = std::move(output);
    return outcome;
}

std::optional<std::string> run(const std::string& path, const std::vector<std::string>& args,
                               std::chrono::milliseconds timeout) {
    return runDetailed(path, args, timeout).output;
}

}  // namespace joulemap::ShellRunner
