#include "DrainTracker.h"

#include "TextTranslation.h"

#include <cmath>

namespace joulemap {

namespace {

constexpr double kMaxShownPercent = 1e6;

// The heaviest application holding more than half of the attributed power and really busy; the
// system bucket is not an application the user could close, and the monitor does not accuse
// itself. Ties go to the first in list order.
const AppShare* topCandidate(const std::vector<AppShare>& shares) {
    const AppShare* top = nullptr;
    for (const AppShare& share : shares) {
        if (share.name == kSystemShareName || share.name == kSelfAppName ||
            !(share.fraction > DrainTracker::kCandidateFraction) ||
            share.corePercent < DrainTracker::kMinCorePercent) {
            continue;
        }
        if (top == nullptr || share.fraction > top->fraction) {
            top = &share;
        }
    }
    return top;
}

AlertMessage drainMessage(const AppShare& top) {
    // What top would show for it. The clamp only keeps the cast defined.
    const auto percent = static_cast<long long>(std::fmin(top.corePercent, kMaxShownPercent));
    return AlertMessage{
        kHighDrainAlertKey,
        JM_TR("Alerts", "⚡ 检测到异常耗电"),
        withArgs(JM_TR("Alerts", "%1 持续高负载用电（CPU 占用 %2%），可能影响续航。如不需要建议关闭或检查。"),
                 {top.name, std::to_string(percent)}),
    };
}

}  // namespace

std::optional<AlertMessage> DrainTracker::check(const BatteryInfo& battery, const std::vector<AppShare>& shares,
                                                bool enabled) {
    // Only a machine running on its battery can drain it.
    if (!enabled || battery.isExternalConnected) {
        tracked_.reset();
        return std::nullopt;
    }
    const AppShare* top = topCandidate(shares);
    if (top == nullptr) {
        tracked_.reset();
        return std::nullopt;
    }
    if (tracked_ && tracked_->first == top->name) {
        ++tracked_->second;
    } else {
        tracked_.emplace(top->name, 1);
    }
    // At low consumption the count keeps growing, so the alert comes with the first heavier refresh.
    if (tracked_->second >= kRefreshesBeforeAlert && battery.systemConsumedWatts() > kMinSystemWatts) {
        tracked_.reset();
        return drainMessage(*top);
    }
    return std::nullopt;
}

}  // namespace joulemap
