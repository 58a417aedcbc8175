#include "ProcessSampler.h"

#include <thread>
#include <utility>

namespace joulemap {

ProcessSampler::ProcessSampler(std::unique_ptr<ProcessLister> lister, const std::vector<NameRule>& rules,
                               std::chrono::milliseconds firstSampleInterval, int64_t selfPid)
    : lister_(std::move(lister)), rules_(rules), firstSampleInterval_(firstSampleInterval), selfPid_(selfPid) {}

std::vector<AppShare> ProcessSampler::next() {
    if (baseline_.empty()) {
        baselineTime_ = Clock::now();
        baseline_ = lister_->snapshot();
        if (baseline_.empty()) return {};
        std::this_thread::sleep_for(firstSampleInterval_);
    }
    const Clock::time_point now = Clock::now();
    ProcessPowerService::Snapshot current = lister_->snapshot();
    // A failed listing keeps the old baseline: the next one then covers the whole stretch.
    if (current.empty()) return {};
    const double intervalSec = std::chrono::duration<double>(now - baselineTime_).count();
    auto shares = ProcessPowerService::sharesBetween(baseline_, current, rules_, intervalSec, selfPid_);
    baseline_ = std::move(current);
    baselineTime_ = now;
    return shares;
}

}  // namespace joulemap
