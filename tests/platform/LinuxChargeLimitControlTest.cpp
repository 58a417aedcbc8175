#include "linux/LinuxChargeLimitControl.h"

#include "FakeSysfs.h"
#include "linux/SysfsFile.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>

#include <cstdlib>
#include <optional>
#include <string>

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
    struct Case {
        int requested;
        int startBefore;
        int endAfter, startAfter;
    };
    // The fixture's battery holds at 80 and resumes below 75.
    const Case cases[] = {
        {90, 75, 90, 75},   // raised: the start stays
        {60, 75, 60, 55},   // below the start: the start goes down first, a gap below the end
        {100, 75, 100, 0},  // off: no limit, charging whenever below full
        {75, 75, 75, 70},   // at the start counts as below it
    };
    for (const Case& c : cases) {
        FakeSysfs sys("held-at-limit");
        sys.write(kStart, std::to_string(c.startBefore));
        const ChargeLimitState state = LinuxChargeLimitControl(sys.root).setEndThreshold(c.requested);
        EXPECT_EQ(state.issue, ChargeLimitIssue::none) << c.requested;
        EXPECT_EQ(fileValue(sys, kEnd), c.endAfter) << c.requested;
        EXPECT_EQ(state.endPct, c.endAfter) << c.requested;
        // 0 written to the start threshold reads back as "none".
        EXPECT_EQ(fileValue(sys, kStart), c.startAfter) << c.requested;
    }
}

TEST(LinuxChargeLimitControl, ReadOnlyThresholdIsNotWritableAndStaysAsItWas) {
    FakeSysfs sys("held-at-limit");
    std::filesystem::permissions(sys.root,
                                 std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add);
    namespace fs = std::filesystem;
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    for (const auto& file : {kEnd, kStart}) fs::permissions(sys.root / file, readOnly);
    LinuxChargeLimitControl control(sys.root);
    {
        AsUnprivilegedUser user;
        EXPECT_EQ(control.read(), (ChargeLimitState{80, 75, false, ChargeLimitIssue::notWritable}));
        EXPECT_EQ(control.setEndThreshold(60),
                  (ChargeLimitState{80, 75, false, ChargeLimitIssue::notWritable}));
    }
    EXPECT_EQ(fileValue(sys, kEnd), 80);

    // What a udev rule does for the group: then the same user may set it.
    const fs::perms everyoneWrites =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    for (const auto& file : {kEnd, kStart})
        fs::permissions(sys.root / file, everyoneWrites, fs::perm_options::add);
    AsUnprivilegedUser user;
    EXPECT_EQ(control.setEndThreshold(60), (ChargeLimitState{60, 55, true, ChargeLimitIssue::none}));
}

TEST(LinuxChargeLimitControl, RefusedWriteAndMissingThresholdAreReported) {
    FakeSysfs sys("held-at-limit");
    // A write the kernel answers with an error, whoever writes: the driver's refusal.
    sys.remove(kEnd);
    std::filesystem::create_symlink("/dev/full", sys.root / kEnd);
    const ChargeLimitState refused = LinuxChargeLimitControl(sys.root).setEndThreshold(60);
    EXPECT_EQ(refused.issue, ChargeLimitIssue::writeRefused);
    EXPECT_EQ(refused.endPct, 0);  // what it holds now cannot be read: unknown, not 60

    FakeSysfs none("acpi-laptop-pd-charging");
    LinuxChargeLimitControl control(none.root);
    EXPECT_EQ(control.read(), ChargeLimitState{});
    EXPECT_EQ(control.setEndThreshold(80).issue, ChargeLimitIssue::unsupported);
    EXPECT_FALSE(std::filesystem::exists(none.root / kEnd));
}
