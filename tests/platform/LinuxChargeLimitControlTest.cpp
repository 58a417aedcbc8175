#include "linux/LinuxChargeLimitControl.h"

#include "FakeSysfs.h"
#include "linux/SysfsFile.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>

#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>

using joulemap::ChargeLimitIssue;
using joulemap::ChargeLimitState;
using joulemap::LinuxChargeLimitControl;
using joulemap::test::FakeSysfs;

namespace {

const std::string kBat = "class/power_supply/BAT0/";
const std::string kEnd = kBat + "charge_control_end_threshold";
const std::string kStart = kBat + "charge_control_start_threshold";

std::optional<int64_t> fileValue(const FakeSysfs& sys, const std::string& relative) {
    return joulemap::SysfsFile::readInt(sys.root / relative);
}

// Root may write any file, so a read-only file is only read-only to someone else: the checks run
// with the effective ids of nobody, as a desktop user's would be.
struct AsUnprivilegedUser {
    static constexpr uid_t kNobody = 65534;
    const bool switched = ::geteuid() == 0 && ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
    ~AsUnprivilegedUser() {
        // The rest of the run would go on as nobody.
        if (switched && (::seteuid(0) != 0 || ::setegid(0) != 0)) std::abort();
    }
};

}  // namespace

TEST(LinuxChargeLimitControl, WritesEndThenReadsBackWithStartKeptBelowIt) {
    // The fixture's battery holds at 80 and resumes below 75; 0 written to the start reads as none.
    const struct {
        int requested, startBefore, endAfter, startAfter;
    } cases[] = {
        {90, 75, 90, 75},   // raised: the start stays
        {60, 75, 60, 55},   // below the start: the start goes down first, a gap below the end
        {100, 75, 100, 0},  // off: no limit, charging whenever below full
        {75, 75, 75, 70},   // at the start counts as below it
    };
    for (const auto& c : cases) {
        FakeSysfs sys("held-at-limit");
        sys.write(kStart, std::to_string(c.startBefore));
        const ChargeLimitState state = LinuxChargeLimitControl(sys.root).setEndThreshold(c.requested);
        EXPECT_EQ(std::tuple(state.issue, state.endPct, fileValue(sys, kEnd), fileValue(sys, kStart)),
                  std::tuple(ChargeLimitIssue::none, c.endAfter, c.endAfter, c.startAfter))
            << c.requested;
    }
}

TEST(LinuxChargeLimitControl, ReadOnlyThresholdIsNotWritableAndStaysAsItWas) {
    namespace fs = std::filesystem;
    FakeSysfs sys("held-at-limit");
    fs::permissions(sys.root, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    const auto setMode = [&](fs::perms perms, fs::perm_options how) {
        for (const auto& file : {kEnd, kStart}) fs::permissions(sys.root / file, perms, how);
    };
    setMode(fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
            fs::perm_options::replace);
    LinuxChargeLimitControl control(sys.root);
    {
        AsUnprivilegedUser user;
        const ChargeLimitState unchanged{80, 75, false, ChargeLimitIssue::notWritable};
        EXPECT_EQ(control.read(), unchanged);
        EXPECT_EQ(control.setEndThreshold(60), unchanged);
    }
    EXPECT_EQ(fileValue(sys, kEnd), 80);

    // What a udev rule does for the group: then the same user may set it.
    setMode(fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::add);
    AsUnprivilegedUser user;
    EXPECT_EQ(control.setEndThreshold(60), (ChargeLimitState{60, 55, true, ChargeLimitIssue::none}));
}

TEST(LinuxChargeLimitControl, RefusedWriteAndMissingThresholdAreReported) {
    FakeSysfs sys("held-at-limit");
    // A write the kernel answers with an error, whoever writes: the driver's refusal.
    sys.remove(kEnd);
    std::filesystem::create_symlink("/dev/full", sys.root / kEnd);
    // What it holds now cannot be read: unknown, not 60.
    const ChargeLimitState refused = LinuxChargeLimitControl(sys.root).setEndThreshold(60);
    EXPECT_EQ(std::pair(refused.issue, refused.endPct), std::pair(ChargeLimitIssue::writeRefused, 0));

    FakeSysfs none("acpi-laptop-pd-charging");
    LinuxChargeLimitControl control(none.root);
    EXPECT_EQ(control.read(), ChargeLimitState{});
    EXPECT_EQ(control.setEndThreshold(80).issue, ChargeLimitIssue::unsupported);
    EXPECT_FALSE(std::filesystem::exists(none.root / kEnd));
}
