#include "ProcessSampler.h"

#include <gtest/gtest.h>

#include <deque>
#include <utility>

using namespace joulemap;
using ProcessPowerService::ProcessRecord;
using ProcessPowerService::Snapshot;

namespace {

// Hands out the listings it was given, one a call (empty ones once they run out), counting the calls.
struct ScriptedLister : ProcessLister {
    ScriptedLister(std::deque<Snapshot> listings, int& calls) : script(std::move(listings)), count(calls) {}
    Snapshot snapshot() override {
        ++count;
        if (script.empty()) return {};
        Snapshot next = std::move(script.front());
        script.pop_front();
        return next;
    }
    std::deque<Snapshot> script;
    int& count;
};

Snapshot listing(double x, double y) {
    return {{10, ProcessRecord{x, "/usr/bin/x"}}, {11, ProcessRecord{y, "/usr/bin/y"}}};
}

}  // namespace

TEST(ProcessSampler, EachCallListsOnceAgainstThePreviousListingAndAFailedOneIsBridged) {
    int listings = 0;
    const std::vector<NameRule> rules;
    ProcessSampler sampler(
        std::make_unique<ScriptedLister>(
            std::deque<Snapshot>{{}, listing(0, 0), listing(1, 1), {}, listing(4, 2)}, listings),
        rules, std::chrono::milliseconds(0), 0);
    using Shares = std::vector<std::pair<std::string, double>>;
    // The listings made so far, and the shares of this call.
    const auto next = [&] {
        Shares shares;
        for (const AppShare& share : sampler.next()) shares.emplace_back(share.name, share.fraction);
        return std::pair(listings, shares);
    };
    EXPECT_EQ(next(), std::pair(1, Shares{}));  // no baseline could be taken
    // The first real sample takes its own baseline and a second listing.
    EXPECT_EQ(next(), std::pair(3, Shares{{"x", 0.5}, {"y", 0.5}}));
    EXPECT_EQ(next(), std::pair(4, Shares{}));  // the listing failed
    // Measured from the last good listing (x +3 s, y +1 s), not from the first (x +4, y +2).
    EXPECT_EQ(next(), std::pair(5, Shares{{"x", 0.75}, {"y", 0.25}}));
}
