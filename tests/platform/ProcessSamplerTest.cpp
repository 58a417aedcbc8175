#include "ProcessSampler.h"

#include <gtest/gtest.h>

#include <deque>

using namespace joulemap;
using ProcessPowerService::ProcessRecord;
using ProcessPowerService::Snapshot;

namespace {

class ScriptedLister : public ProcessLister {
public:
    explicit ScriptedLister(std::deque<Snapshot> script, int& listings) : script_(std::move(script)), listings_(listings) {}
    Snapshot snapshot() override {
        ++listings_;
        if (script_.empty()) return {};
        Snapshot next = std::move(script_.front());
        script_.pop_front();
        return next;
    }

private:
    std::deque<Snapshot> script_;
    int& listings_;
};

Snapshot listing(double x, double y) {
    return {{10, ProcessRecord{x, "/usr/bin/x"}}, {11, ProcessRecord{y, "/usr/bin/y"}}};
}

}  // namespace

TEST(ProcessSampler, EachCallListsOnceAgainstThePreviousListingAndAFailedOneIsBridged) {
    int listings = 0;
    const std::vector<NameRule> rules;
    ProcessSampler sampler(
        std::make_unique<ScriptedLister>(std::deque<Snapshot>{{}, listing(0, 0), listing(1, 1), {}, listing(4, 2)},
                                         listings),
        rules, std::chrono::milliseconds(0), 0);

    EXPECT_TRUE(sampler.next().empty());  // no baseline could be taken
    EXPECT_EQ(listings, 1);

    // The first real sample takes its own baseline and a second listing.
    auto shares = sampler.next();
    EXPECT_EQ(listings, 3);
    ASSERT_EQ(shares.size(), 2u);
    EXPECT_DOUBLE_EQ(shares[0].fraction, 0.5);

    EXPECT_TRUE(sampler.next().empty());  // the listing failed
    EXPECT_EQ(listings, 4);

    // Measured from the last good listing (x +3 s, y +1 s), not from the first (x +4, y +2).
    shares = sampler.next();
    EXPECT_EQ(listings, 5);
    ASSERT_EQ(shares.size(), 2u);
    EXPECT_EQ(shares[0].name, "x");
    EXPECT_DOUBLE_EQ(shares[0].fraction, 0.75);
}
