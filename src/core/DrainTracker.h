#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AlertMessage.h"
#include "AppShare.h"
#include "BatteryInfo.h"

namespace joulemap {

inline constexpr const char* kHighDrainAlertKey = "highDrain";

// Watches for one busy application that keeps taking most of the power while on battery. It counts
// refreshes (not samples) in a row with the same top application; after three, and only while the
// machine draws more than 10 W, it asks for one notification and starts over.
class DrainTracker {
public:
    // An application needs strictly more than this share to count.
    static constexpr double kCandidateFraction = 0.5;
    // ... and at least this much of one core: half of an idle machine's little work is no drain.
    static constexpr double kMinCorePercent = 10.0;
    static constexpr int64_t kRefreshesBeforeAlert = 3;
    // Below this a busy application is not worth a warning: the battery is not really draining.
    static constexpr double kMinSystemWatts = 10.0;

    // One call per refresh that found a battery; returns the notification to send, if any.
    std::optional<AlertMessage> check(const BatteryInfo& battery, const std::vector<AppShare>& shares,
                                      bool enabled);

    // The tracked application and how many refreshes in a row it has been on top.
    std::optional<std::pair<std::string, int64_t>> state() const { return tracked_; }

    void reset() { tracked_.reset(); }

private:
    std::optional<std::pair<std::string, int64_t>> tracked_;
};

}  // namespace joulemap
