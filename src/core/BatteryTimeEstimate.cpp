#include "BatteryTimeEstimate.h"

#include "TextTranslation.h"

#include <cmath>
#include <limits>
#include <numeric>

namespace joulemap {

namespace {

// Currents this small give absurd durations; below them the text does not guess.
constexpr double kMinEstimateCurrentMa = 50.0;
// The same for powers: about 50 mA at a notebook battery's voltage.
constexpr double kMinEstimatePowerMw = 500.0;
constexpr int64_t kMinutesPerHour = 60;
// The battery's own figure is trusted only below ten hours; larger values are placeholders.
constexpr int64_t kMaxReportedRemainingMin = 599;

constexpr SourceText kOnExternalPower = JM_TR_NOOP("BatteryTimeEstimate", "已接电源");
constexpr SourceText kAlmostFull = JM_TR_NOOP("BatteryTimeEstimate", "即将充满");
constexpr SourceText kDischarging = JM_TR_NOOP("BatteryTimeEstimate", "放电中");

std::string untilFull(int64_t minutes) {
    return withArgs(JM_TR("BatteryTimeEstimate", "充满约 %1"), {formatDuration(minutes)});
}

std::string remaining(int64_t minutes) {
    return withArgs(JM_TR("BatteryTimeEstimate", "可用约 %1"), {formatDuration(minutes)});
}

// mAh / mA (or mWh / mW) is hours; the whole part of the minutes counts. Clamped so absurd
// capacities cannot overflow the conversion.
int64_t wholeMinutes(double capacity, double rate) {
    const double minutes = capacity / rate * kMinutesPerHour;
    if (!(minutes < static_cast<double>(std::numeric_limits<int32_t>::max()))) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int64_t>(minutes);
}

double mean(const std::vector<double>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

std::string fromBatteryEstimate(const BatteryInfo& battery) {
    const int64_t minutes = battery.timeRemainingMin;
    if (minutes >= 1 && minutes <= kMaxReportedRemainingMin) {
        return remaining(minutes);
    }
    return kDischarging.str();
}

// On the adapter's power, so time left is no question; a discharge the user asked for counts down
// like one on battery.
bool runsOnAdapter(const BatteryInfo& battery) {
    return battery.isExternalConnected && !battery.isAdapterTooWeak() && !battery.isDischargeForced();
}

}  // namespace

std::string formatDuration(int64_t minutes) {
    if (minutes < kMinutesPerHour) {
        return withArgs(JM_TR("BatteryTimeEstimate", "%1分钟"), {std::to_string(minutes)});
    }
    const int64_t hours = minutes / kMinutesPerHour;
    const int64_t rest = minutes % kMinutesPerHour;
    if (rest == 0) {
        return withArgs(JM_TR("BatteryTimeEstimate", "%1小时"), {std::to_string(hours)});
    }
    return withArgs(JM_TR("BatteryTimeEstimate", "%1小时%2分"), {std::to_string(hours), std::to_string(rest)});
}

std::string batteryTimeEstimate(const BatteryInfo& battery, const std::vector<double>& amperageSamplesMa) {
    if (amperageSamplesMa.empty()) {
        return runsOnAdapter(battery) ? kOnExternalPower.str() : fromBatteryEstimate(battery);
    }
    const double averageMa = mean(amperageSamplesMa);

    // An adapter too weak for the load still drains the battery: time left matters as on battery.
    if (runsOnAdapter(battery)) {
        const double missingMah = battery.maxCapacityMah - battery.currentCapacityMah;
        if (averageMa > kMinEstimateCurrentMa && missingMah > 0 && battery.currentCapacityMah > 0 &&
            battery.isCharging) {
            const int64_t minutes = wholeMinutes(missingMah, averageMa);
            return minutes > 0 ? untilFull(minutes) : kAlmostFull.str();
        }
        return kOnExternalPower.str();
    }
    if (averageMa < -kMinEstimateCurrentMa && battery.currentCapacityMah > 0) {
        const int64_t minutes = wholeMinutes(battery.currentCapacityMah, std::fabs(averageMa));
        return minutes > 0 ? remaining(minutes) : kDischarging.str();
    }
    return fromBatteryEstimate(battery);
}

std::string batteryTimeEstimate(const BatteryInfo& battery, const std::vector<double>& amperageSamplesMa,
                                const std::vector<double>& powerSamplesMw) {
    if (!(battery.energyNowMwh > 0) || powerSamplesMw.empty()) {
        return batteryTimeEstimate(battery, amperageSamplesMa);
    }
    // mWh / mW is hours.
    const double averageMw = mean(powerSamplesMw);
    if (runsOnAdapter(battery)) {
        const double missingMwh = battery.energyFullMwh - battery.energyNowMwh;
        if (averageMw > kMinEstimatePowerMw && missingMwh > 0 && battery.isCharging) {
            const int64_t minutes = wholeMinutes(missingMwh, averageMw);
            return minutes > 0 ? untilFull(minutes) : kAlmostFull.str();
        }
        return kOnExternalPower.str();
    }
    if (averageMw < -kMinEstimatePowerMw) {
        const int64_t minutes = wholeMinutes(battery.energyNowMwh, std::fabs(averageMw));
        return minutes > 0 ? remaining(minutes) : kDischarging.str();
    }
    return fromBatteryEstimate(battery);
}

void AmperageWindow::push(double reading) {
    // Zero counts with the charging side.
    if (!samples_.empty() && (samples_.back() >= 0) != (reading >= 0)) {
        samples_.clear();
    }
    samples_.push_back(reading);
    if (samples_.size() > kCapacity) {
        samples_.erase(samples_.begin(), samples_.end() - kCapacity);
    }
}

}  // namespace joulemap
