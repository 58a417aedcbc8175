#include "linux/LinuxProcessLister.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

using namespace joulemap;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

constexpr uint64_t kKernelThreadFlags = 0x04208040;  // includes PF_KTHREAD
constexpr uint64_t kUserFlags = 0x00400100;

void put(const fs::path& root, int pid, const char* leaf, const std::string& content) {
    fs::create_directories(root / std::to_string(pid));
    std::ofstream(root / std::to_string(pid) / leaf, std::ios::binary) << content;
}

// A full-length stat line, so parsing cannot rely on the line ending right after stime.
void process(const fs::path& root, int pid, const std::string& comm, uint64_t flags, int utime, int stime,
             const char* exe = nullptr) {
    put(root, pid, "stat",
        std::to_string(pid) + " (" + comm + ") S 1 1 1 0 -1 " + std::to_string(flags) + " 10 0 0 0 " +
            std::to_string(utime) + " " + std::to_string(stime) +
            " 0 0 20 0 1 0 4242 1000 100 18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 1 0 0 0 0 0 0 0 0 0 "
            "0 0 0 0\n");
    if (exe) fs::create_symlink(exe, root / std::to_string(pid) / "exe");
}

double seconds(int ticks) { return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK)); }

}  // namespace

TEST(LinuxProcessLister, NamesEveryKindOfProcessAndSkipsBrokenOnes) {
    const fs::path root = fs::temp_directory_path() / ("joulemap-proc-" + std::to_string(::getpid()));
    fs::remove_all(root);
    process(root, 100, "firefox-esr", kUserFlags, 250, 50, "/usr/lib/firefox-esr/firefox-esr");
    process(root, 101, "Web Content) (x", kUserFlags, 7, 3, "/usr/bin/updated tool (deleted)");
    process(root, 2, "kworker/0:1-events", kKernelThreadFlags, 0, 12);
    process(root, 300, "server", kUserFlags, 1, 0);
    put(root, 300, "cmdline", "/opt/app/bin/server\0--port\0"s);
    process(root, 400, "python3", kUserFlags, 1, 0);
    put(root, 400, "cmdline", "python3\0/home/me/script.py\0"s);
    process(root, 500, "bytes", kUserFlags, 1, 0, "/opt/caf\xE9/app");
    put(root, 600, "status", "Name: gone\n");  // exited between listing and reading
    put(root, 601, "stat", "601 (half");
    put(root, 602, "stat", "602 (short) S 1 1 1 0 -1 0 0 0 0 0 5\n");
    put(root, 603, "stat", "603 (word) S 1 1 1 0 -1 0 0 0 0 0 x 5 0\n");

    const ProcessPowerService::Snapshot expected{
        {100, {seconds(300), "/usr/lib/firefox-esr/firefox-esr"}},
        {101, {seconds(10), "/usr/bin/updated tool"}},
        {2, {seconds(12), "[kworker/0:1-events]"}},
        {300, {seconds(1), "/opt/app/bin/server"}},
        {400, {seconds(1), "python3"}},
        {500, {seconds(1), "/opt/caf\xEF\xBF\xBD/app"}},
    };
    EXPECT_EQ(LinuxProcessLister(root).snapshot(), expected);
    EXPECT_TRUE(LinuxProcessLister(root / "missing").snapshot().empty());
    fs::remove_all(root);
}

TEST(LinuxProcessLister, SeesThisProcessInTheRealProc) {
    const auto snapshot = LinuxProcessLister().snapshot();
    const auto self = snapshot.find(::getpid());
    ASSERT_NE(self, snapshot.end());
    EXPECT_EQ(self->second.second, fs::read_symlink("/proc/self/exe").string());
}
