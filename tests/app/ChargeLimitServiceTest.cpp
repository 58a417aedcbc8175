#include "ChargeLimitService.h"

#include <gtest/gtest.h>

#include "support/AppFakes.h"

namespace joulemap {
namespace {

TEST(ChargeLimitServiceTest, RememberedLimitIsWrittenAgainAtStartWhenTheKernelLostIt) {
    struct Case {
        int remembered, kernel;
        bool writable;
        int writes, endAfter;
    };
    const Case cases[] = {
        {80, 100, true, 1, 80},    // after a reboot
        {80, 80, true, 0, 80},     // still there
        {0, 100, true, 0, 100},    // never chosen here: left alone
        {80, 100, false, 0, 100},  // not this user's to write
    };
    for (const Case& c : cases) {
        test::Preferences prefs;
        prefs.theme.setChargeLimitPct(c.remembered);
        auto* control = new test::FakeChargeLimitControl(c.kernel, c.writable);
        ChargeLimitService service(std::unique_ptr<ChargeLimitControl>(control), &prefs.theme);
        service.applyPreference();
        EXPECT_EQ(control->writes, c.writes) << c.remembered << " " << c.kernel;
        EXPECT_EQ(service.state().endPct, c.endAfter) << c.remembered << " " << c.kernel;
    }
}

}  // namespace
}  // namespace joulemap
