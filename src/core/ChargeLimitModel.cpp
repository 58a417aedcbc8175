#include "ChargeLimitModel.h"

#include "NumberFormat.h"
#include "TextTranslation.h"

#include <algorithm>

namespace joulemap::ChargeLimitModel {

namespace {

constexpr int kPreset80Pct = 80;
constexpr int kPreset90Pct = 90;

std::string pctText(int pct) { return pct > 0 ? formatPercent(pct) : JM_TR("ChargeLimitModel", "未知"); }

}  // namespace

std::vector<std::string> choiceLabels() { return {JM_TR("ChargeLimitModel", "关闭"), formatPercent(kPreset80Pct), formatPercent(kPreset90Pct), JM_TR("ChargeLimitModel", "自定义")}; }

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
    const std::string reported = state.endPct >= kOffPct ? JM_TR("ChargeLimitModel", "未限制（内核报告 100%）")
                                                      : withArgs(JM_TR("ChargeLimitModel", "内核报告 %1"), {pctText(state.endPct)});
    switch (state.issue) {
        case ChargeLimitIssue::unsupported:
            return JM_TR("ChargeLimitModel", "这台电脑的电池驱动不提供充电上限");
        case ChargeLimitIssue::notWritable:
            return withArgs(JM_TR("ChargeLimitModel", "当前用户无权修改充电上限，%1。授予写入权限的方法见 %2"), {reported, kGuide});
        case ChargeLimitIssue::writeRefused:
            return withArgs(JM_TR("ChargeLimitModel", "驱动拒绝了 %1，%2"), {pctText(requestedPct.value_or(0)), reported});
        case ChargeLimitIssue::none:
            break;
    }
    if (requestedPct && *requestedPct != state.endPct) {
        return withArgs(JM_TR("ChargeLimitModel", "驱动把 %1 调整为 %2"), {pctText(*requestedPct), pctText(state.endPct)});
    }
    return reported;
}

std::optional<std::string> chargeControlNote(const BatteryInfo& battery) {
    if (battery.isHeldAtLimit()) return withArgs(JM_TR("ChargeLimitModel", "已达充电上限 %1"), {formatPercent(battery.chargeEndThresholdPct)});
    if (battery.isChargeInhibited()) return JM_TR("ChargeLimitModel", "已暂停充电");
    if (battery.isDischargeForced()) return JM_TR("ChargeLimitModel", "按设置放电中");
    return std::nullopt;
}

}  // namespace joulemap::ChargeLimitModel
