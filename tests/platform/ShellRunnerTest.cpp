#include "ShellRunner.h"
#include "Utf8Validation.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <thread>

using namespace joulemap;
using namespace std::chrono_literals;

namespace {

std::optional<std::string> sh(const std::string& script) {
    return ShellRunner::run("/bin/sh", {"-c", script});
}

}  // namespace

TEST(ShellRunner, OutputIsAbsentOnlyWhenToolCannotRunOrPrintsNonText) {
    EXPECT_EQ(ShellRunner::run("/nonexistent/ioreg", {}), std::nullopt);
    EXPECT_EQ(ShellRunner::run("/tmp", {}), std::nullopt);
    EXPECT_EQ(ShellRunner::run("sh", {"-c", "echo found"}), std::nullopt);  // no PATH lookup
    EXPECT_EQ(ShellRunner::run("/bin/true", {}), "");
    EXPECT_EQ(sh("echo 'ioreg: failed' >&2; exit 1"), "");
    EXPECT_EQ(sh(R"(printf 'caf\303\251 \347\204\246\n'; exit 2)"), "café 焦\n");
    EXPECT_EQ(sh(R"(printf 'ok \303\050')"), std::nullopt);

    const auto failed = ShellRunner::runDetailed("/bin/sh", {"-c", "printf partial; exit 3"});
    EXPECT_EQ(std::pair(failed.output, failed.exitStatus),
              std::pair(std::optional<std::string>("partial"), 3));
    EXPECT_EQ(ShellRunner::runDetailed("/bin/sh", {"-c", "kill -9 $$"}).exitStatus, -1);
}

TEST(ShellRunner, ArgumentsArriveUnalteredAndLargeOutputIsReadWhole) {
    EXPECT_EQ(ShellRunner::run("/bin/sh", {"-c", R"(for a in "$@"; do printf '[%s]' "$a"; done)", "sh",
                                           "two words", "$HOME", "*", "'q'", "a;b|c&", "", "-n"}),
              "[two words][$HOME][*]['q'][a;b|c&][][-n]");
    // More than the pipe holds: the runner must read while the child writes.
    EXPECT_EQ(sh("head -c 700000 /dev/zero | tr '\\0' x"), std::string(700000, 'x'));
}

TEST(ShellRunner, ChildDoesNotInheritOtherDescriptors) {
    const int plain = ::open("/dev/null", O_RDONLY);  // deliberately without close-on-exec
    ASSERT_GE(plain, 0);
    const int high = ::fcntl(plain, F_DUPFD, 100);
    ASSERT_GE(high, 100);
    const std::string probe = "[ -e /proc/self/fd/" + std::to_string(high) + " ] && echo held || echo clean";
    EXPECT_EQ(sh(probe), "clean\n");
    EXPECT_EQ(sh("[ -e /proc/self/fd/1 ] && echo held || echo clean"), "held\n");  // the probe works
    ::close(high);
    ::close(plain);
}

TEST(ShellRunner, HungChildIsKilledAndReapedAtTimeout) {
    EXPECT_EQ(ShellRunner::run("/bin/sleep", {"1000"}, 300ms), std::nullopt);
    // Closing its output does not let a child escape the timeout either.
    const auto quiet =
        ShellRunner::runDetailed("/bin/sh", {"-c", "printf early; exec >&-; exec sleep 1000"}, 300ms);
    EXPECT_EQ(std::pair(quiet.output, quiet.exitStatus), std::pair(std::optional<std::string>(), -1));
    // Nothing left behind: no child still running, no zombie.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(ShellRunner, OutputBeyondSixteenMebibytesFailsTheCall) {
    constexpr size_t kCapBytes = 16 * 1024 * 1024;
    EXPECT_EQ(sh("head -c " + std::to_string(kCapBytes) + " /dev/zero").value_or("").size(), kCapBytes);
    EXPECT_EQ(sh("head -c " + std::to_string(kCapBytes + 1) + " /dev/zero"), std::nullopt);
}

// Killed and reaped by whoever inherits it; a zombie is as dead as a missing process.
bool processEnded(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidField, name, state;
    return !(stat >> pidField >> name >> state) || state == "Z";
}

TEST(ShellRunner, TimeoutEndsWhatTheChildStartedAndExitEndsTheWait) {
    const std::string pidFile = ::testing::TempDir() + "joulemap-grandchild-" + std::to_string(::getpid());
    EXPECT_EQ(ShellRunner::run("/bin/sh", {"-c", "sleep 1000 & echo $! > " + pidFile + "; wait"}, 300ms),
              std::nullopt);
    pid_t grandchild = 0;
    ASSERT_TRUE(std::ifstream(pidFile) >> grandchild);
    std::remove(pidFile.c_str());
    // The kill is sent before the call returns; its reaping by the new parent may take a moment.
    for (int i = 0; i < 100 && !processEnded(grandchild); ++i) std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(processEnded(grandchild));

    // The child is done at once; the background job keeps the pipe open for as long as it runs.
    const auto pid = ShellRunner::run("/bin/sh", {"-c", "sleep 1000 & echo $!"}, 5s);
    ASSERT_TRUE(pid.has_value());
    ::kill(std::stoi(*pid), SIGKILL);
}

TEST(Utf8Validation, AcceptsOnlyWellFormedUtf8) {
    for (const char* good : {"", "ascii", "焦图", "\xF0\x9F\x94\x8B", "\xF4\x8F\xBF\xBF", "\xED\x9F\xBF",
                             "\xEE\x80\x80", "\xC2\x80"}) {
        EXPECT_TRUE(isValidUtf8(good)) << good;
    }
    for (const char* bad :
         {"\x80", "\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80",
          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\xE7\x84", "\xE7\x84\x41", "a\xC3"}) {
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
    }
    EXPECT_TRUE(isValidUtf8(std::string_view("nul\0inside", 10)));
}
