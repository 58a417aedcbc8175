#include "ChargeLimitModel.h"

#include "NumberFormat.h"

#include <algorithm>

namespace joulemap::ChargeLimitModel {

namespace {

constexpr int kPreset80Pct = 80;
constexpr int kPreset90Pct = 90;

std::string pctText(int pct) { return pct > 0 ? formatPercent(pct) : std::string("未知"); }

}  // namespace

std::vector<std::string> choiceLabels() { return {"关闭", formatPercent(kPreset80Pct), formatPercent(kPreset90Pct), "自定义"}; }

Choice choiceFor(int endPct) {
    if (endPct <= 0 || endPct >= kOffPct) return Choice::off;
    if (endPct == kPreset80Pct) return Choice::pct80;
    if (endPct == kPreset90Pct) return Choice::pct90;
    return Choice::custom;
}

int pctFor(Choice choice, int customPct) {
    switch (choice) {
        case Choice::off:
            return kOffPct;
        case Choice::pct80:
            return kPreset80Pct;
        case Choice::pct90:
            return kPreset90Pct;
        case Choice::custom:
            break;
    }
    return std::clamp(customPct, kMinCustomPct, kMaxCustomPct);
}

std::string statusText(const ChargeLimitState& state, std::optional<int> requestedPct) {
    const std::string reported = state.endPct >= kOffPct ? "未限制（内核报告 100%）" : "内核报告 " + pctText(state.endPct);
    switch (state.issue) {
        case ChargeLimitIssue::unsupported:
            return "这台电脑的电池驱动不提供充电上限";
        case ChargeLimitIssue::notWritable:
            return "当前用户无权修改充电上限，" + reported + "。授予写入权限的方法见 " + std::string(kGuide);
        case ChargeLimitIssue::writeRefused:
            return "驱动拒绝了 " + pctText(requestedPct.value_or(0)) + "，" + reported;
        case ChargeLimitIssue::none:
            break;
    }
    if (requestedPct && *requestedPct != state.endPct) {
        return "驱动把 " + pctText(*requestedPct) + " 调整为 " + pctText(state.endPct);
    }
    return reported;
}

std::optional<std::string> chargeControlNote(const BatteryInfo& battery) {
    if (battery.isHeldAtLimit()) return "已达充电上限 " + formatPercent(battery.chargeEndThresholdPct);
    if (battery.isChargeInhibited()) return "已暂停充电";
    if (battery.isDischargeForced()) return "按设置放电中";
    return std::nullopt;
}

}  // namespace joulemap::ChargeLimitModel
