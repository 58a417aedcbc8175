#include "linux/LinuxProcessLister.h"
#include "linux/LinuxSystemProcess.h"

#include "core/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

using namespace joulemap;
using namespace std::string_literals;
namespace fs = std::filesystem;
using ProcessPowerService::ProcessRecord;

namespace {

constexpr uint64_t kKernelThreadFlags = 0x04208040;  // includes PF_KTHREAD
constexpr uint64_t kUserFlags = 0x00400100;

void put(const fs::path& root, int pid, const char* leaf, const std::string& content) {
    fs::create_directories(root / std::to_string(pid));
    std::ofstream(root / std::to_string(pid) / leaf, std::ios::binary) << content;
}

struct Times {
    int utime = 1, stime = 0, cutime = 0, cstime = 0;
};

// A full-length stat line, so parsing cannot rely on the line ending right after the fields read.
void process(const fs::path& root, int pid, const std::string& comm, uint64_t flags, Times t,
             const char* exe = nullptr, int parent = 1, int start = 4242) {
    put(root, pid, "stat",
        std::to_string(pid) + " (" + comm + ") S " + std::to_string(parent) + " 1 1 0 -1 " +
            std::to_string(flags) + " 10 0 0 0 " + std::to_string(t.utime) + " " + std::to_string(t.stime) +
            " " + std::to_string(t.cutime) + " " + std::to_string(t.cstime) + " 20 0 1 0 " +
            std::to_string(start) +
            " 1000 100 18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 1 0 0 0 0 0 0 0 0 0 0 0 0 0\n");
    if (exe) fs::create_symlink(exe, root / std::to_string(pid) / "exe");
}

double seconds(int ticks) { return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK)); }

ProcessRecord record(int ticks, const char* path, bool system = false, int parent = 1, int childTicks = 0,
                     uint64_t start = 4242) {
    return ProcessRecord{seconds(ticks), path, system, parent, seconds(childTicks), start};
}

}  // namespace

TEST(LinuxProcessLister, NamesEveryKindOfProcessAndSkipsBrokenOnes) {
    const TempDir dir("proc");
    const fs::path& root = dir.path();
    process(root, 100, "firefox-esr", kUserFlags, {250, 50, 30, 12}, "/usr/lib/firefox-esr/firefox-esr", 1,
            777);
    process(root, 101, "Web Content) (x", kUserFlags, {7, 3}, "/usr/bin/updated tool (deleted)", 100);
    process(root, 2, "kworker/0:1-events", kKernelThreadFlags, {0, 12}, nullptr, 0);
    process(root, 300, "server", kUserFlags, {});
    put(root, 300, "cmdline", "/opt/app/bin/server\0--port\0"s);
    process(root, 400, "python3", kUserFlags, {});
    put(root, 400, "cmdline", "python3\0/home/me/script.py\0"s);
    process(root, 401, "node", kUserFlags, {}, "/usr/bin/node");
    put(root, 401, "cmdline", "node\0--inspect\0server.js\0"s);
    process(root, 402, "bash", kUserFlags, {}, "/usr/bin/bash");  // an interactive shell
    put(root, 402, "cmdline", "-bash\0"s);
    process(root, 500, "bytes", kUserFlags, {}, "/opt/caf\xE9/app");
    process(root, 501, "gnome-terminal-", kUserFlags, {}, "/usr/libexec/gnome-terminal-server");
    process(root, 502, "gsd-power", kUserFlags, {}, "/usr/libexec/gsd-power");
    // System accounts own their processes' files; our own account and other people's do not count.
    process(root, 600, "cupsd", kUserFlags, {}, "/opt/cups/cupsd");
    ASSERT_EQ(::lchown((root / "600" / "stat").c_str(), 100, 100), 0);
    process(root, 601, "app", kUserFlags, {}, "/opt/other/app");
    ASSERT_EQ(::lchown((root / "601" / "stat").c_str(), 1001, 1001), 0);
    // A process can make its files anything; a pipe in place of stat must neither block nor count.
    fs::create_directories(root / "700");
    ASSERT_EQ(::mkfifo((root / "700" / "stat").c_str(), 0600), 0);
    put(root, 701, "status", "Name: gone\n");  // exited between listing and reading
    put(root, 702, "stat", "702 (half");
    put(root, 703, "stat", "703 (short) S 1 1 1 0 -1 0 0 0 0 0 5\n");
    put(root, 704, "stat", "704 (word) S 1 1 1 0 -1 0 0 0 0 0 x 5 0 0 0 0 0 0 0 0 1\n");

    const bool asSystemAccount = ::geteuid() != 100;
    const ProcessPowerService::Snapshot expected{
        {100, record(300, "/usr/lib/firefox-esr/firefox-esr", false, 1, 42, 777)},
        {101, record(10, "/usr/bin/updated tool", false, 100)},
        {2, record(12, "[kworker/0:1-events]", true, 0)},
        {300, record(1, "/opt/app/bin/server")},
        {400, record(1, "/home/me/script.py")},
        {401, record(1, "server.js")},
        {402, record(1, "/usr/bin/bash")},
        {500, record(1, "/opt/caf\xEF\xBF\xBD/app")},
        {501, record(1, "/usr/libexec/gnome-terminal-server")},
        {502, record(1, "/usr/libexec/gsd-power", true)},
        {600, record(1, "/opt/cups/cupsd", asSystemAccount)},
        {601, record(1, "/opt/other/app")},
    };
    EXPECT_EQ(LinuxProcessLister(root).snapshot(), expected);
    EXPECT_TRUE(LinuxProcessLister(root / "missing").snapshot().empty());
}

TEST(LinuxProcessLister, NoticesWhenAProcessExecsAnotherProgram) {
    const TempDir dir("exec");
    const fs::path& root = dir.path();
    process(root, 100, "bash", kUserFlags, {}, "/usr/bin/bash");
    LinuxProcessLister lister(root);
    EXPECT_EQ(lister.snapshot().at(100).path, "/usr/bin/bash");

    fs::remove_all(root / "100");
    process(root, 100, "make", kUserFlags, {2}, "/usr/bin/make");  // same id and start, new program
    EXPECT_EQ(lister.snapshot().at(100), record(2, "/usr/bin/make"));
}

TEST(LinuxProcessLister, SessionAndSystemProgramsAreKnownByPathAndName) {
    for (const char* path :
         {"/sbin/init", "/usr/sbin/cupsd", "/usr/lib/systemd/systemd-journald", "/lib/systemd/systemd-udevd",
          "/usr/lib/xorg/Xorg", "/usr/bin/Xwayland", "/usr/bin/gnome-shell", "/usr/bin/kwin_wayland",
          "/usr/bin/pipewire-pulse", "/usr/bin/dbus-daemon", "wireplumber", "/usr/libexec/gsd-color",
          "/usr/libexec/xdg-desktop-portal-gnome", "/usr/libexec/gvfsd-fuse", "/usr/bin/plasmashell"}) {
        EXPECT_TRUE(isLinuxSystemProgram(path)) << path;
    }
    for (const char* path : {"/home/me/xorg-notes/render", "/opt/kwinder/kwinder", "/usr/bin/pipewirer",
                             "/usr/libexec/gnome-terminal-server", "/System/Library/tool", "/usr/bin/firefox",
                             "/opt/google/chrome/chrome"}) {
        EXPECT_FALSE(isLinuxSystemProgram(path)) << path;
    }
}

TEST(LinuxProcessLister, SeesThisProcessInTheRealProc) {
    const auto snapshot = LinuxProcessLister().snapshot();
    const auto self = snapshot.find(::getpid());
    ASSERT_NE(self, snapshot.end());
    EXPECT_EQ(std::tuple(self->second.path, self->second.parentPid, self->second.system),
              std::tuple(fs::read_symlink("/proc/self/exe").string(), ::getppid(), false));
}
