#pragma once

#include "AppShare.h"
#include "NameRule.h"
#include "ProcessLister.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

namespace joulemap {

// Application shares over the whole time between two calls: each call takes one listing and
// compares it with the previous call's, so nothing that ran in between is missed and a cycle costs
// one listing. The first call has no baseline yet and takes a short sample of its own, so the first
// shares come at once. Not thread-safe: one sampling thread owns it.
class ProcessSampler {
public:
    using Clock = std::chrono::steady_clock;

    ProcessSampler(std::unique_ptr<ProcessLister> lister, const std::vector<NameRule>& rules,
                   std::chrono::milliseconds firstSampleInterval, int64_t selfPid);

    // Empty when there is nothing to tell yet (the listing failed, nothing ran).
    std::vector<AppShare> next();

private:
    std::unique_ptr<ProcessLister> lister_;
    const std::vector<NameRule>& rules_;
    std::chrono::milliseconds firstSampleInterval_;
    int64_t selfPid_;
    ProcessPowerService::Snapshot baseline_;
    Clock::time_point baselineTime_;
};

}  // namespace joulemap
