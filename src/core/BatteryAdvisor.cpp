#include "BatteryAdvisor.h"

#include "ChargeLimitState.h"
#include "NumberFormat.h"
#include "TextTranslation.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace joulemap::BatteryAdvisor {

namespace {

using Severity = Advice::Severity;

constexpr double kHotC = 40.0;
constexpr double kWarmC = 36.0;
constexpr int64_t kFullEnoughPct = 80;
constexpr int64_t kLowPct = 20;
constexpr double kSlowChargerW = 20.0;
constexpr double kSlowChargeW = 12.0;
// Near full, the charger delivering less than half its rating is the normal constant-voltage phase.
constexpr double kTaperRatio = 0.5;
constexpr double kHighDischargeW = 25.0;
constexpr double kWornHealthPct = 80.0;
constexpr double kLateLifeCycleRatio = 0.8;
// Kept plugged in at a full charge with no limit set, though the driver offers one.
constexpr int64_t kFullPct = 99;

// Fixed decimals without the C library, whose printf follows the desktop's locale ("30,3").
std::string fmt(double value, int decimals) { return formatFixed(value, decimals); }

// Whole watts, cut toward zero: a 19.9 W charger is a 19 W charger. Formatted rather than cast so
// that no reading, however wild, overflows an integer.
std::string truncText(double value) { return fmt(std::trunc(value), 0); }

}  // namespace

Advice::Advice(std::string icon, std::string text, Severity severity)
    : id(std::to_string(static_cast<int>(severity)) + "|" + text),
      icon(std::move(icon)),
      text(std::move(text)),
      severity(severity) {}

std::optional<Advice::Severity> severityFromRaw(int raw) {
    if (raw < static_cast<int>(Severity::info) || raw > static_cast<int>(Severity::critical)) {
        return std::nullopt;
    }
    return static_cast<Severity>(raw);
}

std::vector<Advice> advice(const BatteryInfo& b, int64_t max) {
    // A snapshot without a single reading is a machine without a battery, not an empty one.
    return advice(b, max, !(b == BatteryInfo::unknown()));
}

std::vector<Advice> advice(const BatteryInfo& b, int64_t max, bool hasBattery) {
    if (!hasBattery) return {};
    const double t = b.temperatureC;
    // Advice about the charge needs a charge: an unknown one is no empty battery.
    const std::optional<int64_t> p = b.currentCapacityPct;
    const std::string pct = p ? std::to_string(*p) : std::string();
    const double a = b.adapterWatts;
    const double net = b.batteryPowerMw / 1000.0;
    const double netIn = net >= 0 ? net : 0.0;
    const double discharge = -(b.instantAmperageMa * b.voltageMv) / 1'000'000.0;
    const double dischargeW = discharge >= 0 ? discharge : 0.0;
    const double health = b.stateOfHealth();

    std::vector<Advice> items;
    if (t >= kHotC) {
        items.emplace_back("🔥", withArgs(JM_TR("BatteryAdvisor", "电池温度 %1℃ 过高，暂停高负载任务让其降温，高温会加速电池老化"), {fmt(t, 0)}),
                           Severity::critical);
    }
    if (t >= kWarmC && t < kHotC) {
        items.emplace_back("🌡️", withArgs(JM_TR("BatteryAdvisor", "电池温度偏高（%1℃），避免长时间高负载使用"), {fmt(t, 0)}), Severity::warn);
    }
    // A battery a limit holds gets no advice to unplug: it has stopped by itself.
    if (b.isCharging && !b.isChargeHeld()) {
        if (p && *p >= kFullEnoughPct) {
            items.emplace_back("🔌", withArgs(JM_TR("BatteryAdvisor", "已充至 %1%，可拔下电源。长期保持满电状态会缩短电池寿命"), {pct}), Severity::warn);
        }
        if (p && *p < kLowPct) {
            items.emplace_back("🔋", withArgs(JM_TR("BatteryAdvisor", "电量较低（%1%）正在充电，建议充至 80% 以上再拔下"), {pct}), Severity::info);
        }
        if (a > 0 && a < kSlowChargerW && netIn < kSlowChargeW) {
            items.emplace_back("🐢", withArgs(JM_TR("BatteryAdvisor", "正在慢速充电（充电器 %1W），使用原装或更高功率充电器可更快充满"), {truncText(a)}),
                               Severity::info);
        }
        if (p && *p >= kFullEnoughPct && a >= kSlowChargerW && netIn < a * kTaperRatio) {
            items.emplace_back("💡",
                               withArgs(JM_TR("BatteryAdvisor", "当前电量 %1%，充电功率约 %2W 低于充电器额定 %3W——这是正常的。"
                                                             "高电量时电池进入恒压缓充阶段，系统主动降低充电功率以保护电池寿命，"
                                                             "接近满电时会进一步降至涓流甚至暂停"),
                                        {pct, truncText(netIn), truncText(a)}),
                               Severity::info);
        }
    }
    if (!b.isExternalConnected) {
        if (p && *p <= kLowPct) {
            items.emplace_back("🔋", withArgs(JM_TR("BatteryAdvisor", "电量仅剩 %1%，建议尽快接入电源，避免深度放电损伤电池"), {pct}), Severity::critical);
        }
        if (dischargeW > kHighDischargeW) {
            items.emplace_back("⚡", withArgs(JM_TR("BatteryAdvisor", "当前放电功率较高（%1W），关闭耗电应用或降低屏幕亮度可延长续航"), {fmt(dischargeW, 1)}),
                               Severity::warn);
        }
        if (p && *p >= kLowPct && *p <= kFullEnoughPct) {
            items.emplace_back("✅", JM_TR("BatteryAdvisor", "电量处于理想区间（20-80%），保持此范围使用有助延长电池寿命"), Severity::good);
        }
    }
    if (b.isExternalConnected && !b.isCharging && p && *p >= kFullPct && b.chargeEndThresholdPct == kNoChargeLimitPct) {
        items.emplace_back("💡", JM_TR("BatteryAdvisor", "长期接电源并保持满电会加速电池老化，可在设置中把充电上限设为 80%"), Severity::info);
    }
    if (b.isHealthKnown() && health < kWornHealthPct) {
        // std::round goes half away from zero, unlike printf's rounding.
        items.emplace_back("⚠️",
                           withArgs(JM_TR("BatteryAdvisor", "电池健康度偏低（%1%），续航和峰值性能可能下降，建议预约官方检测"), {fmt(std::round(health), 0)}),
                           Severity::warn);
    }
    if (b.designCycleCount > 0 &&
        static_cast<double>(b.cycleCount) / static_cast<double>(b.designCycleCount) >= kLateLifeCycleRatio) {
        items.emplace_back("📊",
                           withArgs(JM_TR("BatteryAdvisor", "循环次数 %1/%2，已接近设计上限，电池进入生命周期后期"),
                                    {std::to_string(b.cycleCount), std::to_string(b.designCycleCount)}),
                           Severity::info);
    }

    std::stable_sort(items.begin(), items.end(), [](const Advice& lhs, const Advice& rhs) {
        return static_cast<int>(lhs.severity) > static_cast<int>(rhs.severity);
    });
    if (items.empty()) {
        items.emplace_back("✅", JM_TR("BatteryAdvisor", "电池状态良好，保持当前的用电习惯即可"), Severity::good);
    }
    if (max <= 0) {
        return {};
    }
    if (items.size() > static_cast<size_t>(max)) {
        items.erase(items.begin() + max, items.end());
    }
    return items;
}

}  // namespace joulemap::BatteryAdvisor
