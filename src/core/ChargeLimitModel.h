#pragma once

#include "BatteryInfo.h"
#include "ChargeLimitState.h"
#include "TextTranslation.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the settings window says about the charge limit and what the panel and health card say
// about a battery the limit holds, decided without a window.
namespace joulemap::ChargeLimitModel {

inline constexpr int kOffPct = kNoChargeLimitPct;
inline constexpr int kMinCustomPct = 50;
inline constexpr int kMaxCustomPct = 100;
inline constexpr int kDefaultCustomPct = 85;

inline constexpr SourceText kTitle = JM_TR_NOOP("ChargeLimitModel", "充电上限");
inline constexpr SourceText kCaption = JM_TR_NOOP("ChargeLimitModel", "充到此电量即停止充电，长期接电源时可延长电池寿命");
inline constexpr std::string_view kGuide = "docs/charge-limit.md";

// The picker's segments in order: off, 80 %, 90 %, custom.
enum class Choice { off, pct80, pct90, custom };
std::vector<std::string> choiceLabels();
// The segment showing a limit the kernel reports (0 = none counts as off).
Choice choiceFor(int endPct);
// The limit a segment stands for; custom takes customPct, held within 50..100.
int pctFor(Choice choice, int customPct);

// One line under the control: what the kernel reports, why it cannot be changed, or what became
// of the last request (requestedPct, when there was one).
std::string statusText(const ChargeLimitState& state, std::optional<int> requestedPct);

// "已达充电上限 80%" for a battery the limit holds, "已暂停充电" / "按设置放电中" when the user set the
// driver to hold or drain it; nothing otherwise.
std::optional<std::string> chargeControlNote(const BatteryInfo& battery);

}  // namespace joulemap::ChargeLimitModel
