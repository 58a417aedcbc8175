#include "BatteryAdvisor.h"
#include "TestSupport.h"

using namespace joulemap;

namespace {

using BatteryAdvisor::Advice;
using Severity = Advice::Severity;
using Texts = std::vector<std::string>;

const std::string kAllClear = "电池状态良好，保持当前的用电习惯即可";
const std::string kIdeal = "电量处于理想区间（20-80%），保持此范围使用有助延长电池寿命";
const std::string kNearFull = "已充至 85%，可拔下电源。长期保持满电状态会缩短电池寿命";

// Healthy, cool, on an adapter and not charging: no rule holds.
BatteryInfo idle(int64_t pct = 90) {
    return {.cycleCount = 300,
            .designCycleCount = 1000,
            .systemHealthPct = 85,
            .isExternalConnected = true,
            .currentCapacityPct = pct,
            .temperatureC = 30};
}

BatteryInfo charging(int64_t pct, double adapterW, double intoBatteryW) {
    BatteryInfo b = idle(pct);
    b.isCharging = true;
    b.adapterWatts = adapterW;
    b.batteryPowerMw = intoBatteryW * 1000;
    return b;
}

// Unplugged, drawing dischargeW from the battery at 10 V.
BatteryInfo unplugged(int64_t pct, double dischargeW) {
    BatteryInfo b = idle(pct);
    b.isExternalConnected = false;
    b.voltageMv = 10'000;
    b.instantAmperageMa = -dischargeW * 100;
    return b;
}

BatteryInfo at(BatteryInfo b, double celsius) {
    b.temperatureC = celsius;
    return b;
}

Texts texts(const BatteryInfo& b, int64_t max = 99) {
    Texts result;
    for (const auto& item : BatteryAdvisor::advice(b, max)) result.push_back(item.text);
    return result;
}

void expectTexts(const std::vector<std::pair<BatteryInfo, Texts>>& cases) {
    for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(texts(cases[i].first), cases[i].second) << "case " << i;
}

std::string taperText(const std::string& pct, const std::string& chargeW, const std::string& adapterW) {
    return "当前电量 " + pct + "%，充电功率约 " + chargeW + "W 低于充电器额定 " + adapterW +
           "W——这是正常的。高电量时电池进入恒压缓充阶段，系统主动降低充电功率以保护电池寿命，"
           "接近满电时会进一步降至涓流甚至暂停";
}

std::string lowText(int pct) { return "电量仅剩 " + std::to_string(pct) + "%，建议尽快接入电源，避免深度放电损伤电池"; }

}  // namespace

TEST(BatteryAdvisorTest, TemperatureRulesSwitchAtThirtySixAndFortyAndAllClearOtherwise) {
    EXPECT_EQ(BatteryAdvisor::advice(idle(), 2), (std::vector<Advice>{Advice("✅", kAllClear, Severity::good)}));
    EXPECT_EQ(BatteryAdvisor::advice(idle(), 2)[0].id, "1|" + kAllClear);
    EXPECT_EQ(BatteryAdvisor::advice(at(idle(), 40.0), 9),
              (std::vector<Advice>{
                  Advice("🔥", "电池温度 40℃ 过高，暂停高负载任务让其降温，高温会加速电池老化", Severity::critical)}));
    EXPECT_EQ(BatteryAdvisor::advice(at(idle(), 39.99), 9),
              (std::vector<Advice>{Advice("🌡️", "电池温度偏高（40℃），避免长时间高负载使用", Severity::warn)}));
    expectTexts({{at(idle(), 36.0), {"电池温度偏高（36℃），避免长时间高负载使用"}}, {at(idle(), 35.99), {kAllClear}}});
}

TEST(BatteryAdvisorTest, ChargingRulesFollowChargeAdapterAndChargePower) {
    EXPECT_EQ(BatteryAdvisor::advice(charging(85, 96, 20), 9),
              (std::vector<Advice>{Advice("🔌", kNearFull, Severity::warn),
                                   Advice("💡", taperText("85", "20", "96"), Severity::info)}));
    // Flagged as charging while the battery gives power: the charge power counts as 0 W.
    EXPECT_EQ(texts(charging(80, 20.9, -3))[1], taperText("80", "0", "20"));
    expectTexts({{charging(85, 96, 48), {kNearFull}},  // half the rating is no longer tapering
                 {charging(50, 15, 11.9), {"正在慢速充电（充电器 15W），使用原装或更高功率充电器可更快充满"}},
                 {charging(50, 15, 12.0), {kAllClear}},
                 {charging(50, 19.9, 0), {"正在慢速充电（充电器 19W），使用原装或更高功率充电器可更快充满"}},
                 {charging(50, 20, 0), {kAllClear}},
                 {charging(19, 0, 30), {"电量较低（19%）正在充电，建议充至 80% 以上再拔下"}},
                 {charging(20, 0, 30), {kAllClear}},
                 {charging(79, 96, 20), {kAllClear}}});
}

TEST(BatteryAdvisorTest, OnBatteryRulesFollowChargeAndDischargePower) {
    expectTexts({{unplugged(80, 0), {kIdeal}},
                 {unplugged(81, 0), {kAllClear}},
                 {unplugged(20, 0), {lowText(20), kIdeal}},
                 {unplugged(90, 25.0), {kAllClear}},
                 {unplugged(90, 25.04), {"当前放电功率较高（25.0W），关闭耗电应用或降低屏幕亮度可延长续航"}}});
    const BatteryInfo hot = at(unplugged(15, 30), 45);
    const auto firstTwo = BatteryAdvisor::advice(hot, 2);
    ASSERT_EQ(firstTwo.size(), 2u);
    EXPECT_EQ(firstTwo[0].icon, "🔥");
    EXPECT_EQ(firstTwo[1], Advice("🔋", lowText(15), Severity::critical));
    EXPECT_EQ(texts(hot)[2], "当前放电功率较高（30.0W），关闭耗电应用或降低屏幕亮度可延长续航");
    // Neither many advices beyond the limit nor any without a battery.
    EXPECT_TRUE(BatteryAdvisor::advice(hot, 0).empty());
    EXPECT_TRUE(BatteryAdvisor::advice(hot, -1).empty());
    EXPECT_TRUE(BatteryAdvisor::advice(BatteryInfo::unknown(), 2).empty());
    EXPECT_TRUE(BatteryAdvisor::advice(unplugged(15, 30), 2, false).empty());
    EXPECT_EQ(texts(unplugged(15, 0))[0], lowText(15));
    EXPECT_EQ(BatteryAdvisor::severityFromRaw(3), Severity::critical);
    EXPECT_FALSE(BatteryAdvisor::severityFromRaw(4));
}

TEST(BatteryAdvisorTest, HealthAndCycleRules) {
    const BatteryInfo worn{.designCapacityMah = 1000,
                           .maxCapacityMah = 795};  // 79.5 % reads 80 %, yet is below
    const Advice health("⚠️", "电池健康度偏低（80%），续航和峰值性能可能下降，建议预约官方检测", Severity::warn);
    EXPECT_EQ(BatteryAdvisor::advice(worn, 9), std::vector<Advice>{health});
    EXPECT_EQ(health.id, "2|" + health.text);
    // Same severity keeps rule order: temperature before health.
    EXPECT_EQ(texts(at(worn, 37))[0], "电池温度偏高（37℃），避免长时间高负载使用");
    expectTexts({{BatteryInfo{.maxCapacityMah = 795}, {kAllClear}},  // no health figure: unknown, not worn
                 {BatteryInfo{.cycleCount = 800, .designCycleCount = 1000},
                  {"循环次数 800/1000，已接近设计上限，电池进入生命周期后期"}},
                 {BatteryInfo{.cycleCount = 799, .designCycleCount = 1000}, {kAllClear}},
                 {BatteryInfo{.cycleCount = 5000, .designCycleCount = 0}, {kAllClear}}});
}

TEST(BatteryAdvisorTest, TextsIgnoreTheProcessLocale) {
    Texts result;
    if (!underCommaLocale([&] { result = texts(at(unplugged(50, 30.25), 39.6)); })) GTEST_SKIP() << "no de_DE.UTF-8";
    EXPECT_EQ(result, (Texts{"电池温度偏高（40℃），避免长时间高负载使用",
                             "当前放电功率较高（30.3W），关闭耗电应用或降低屏幕亮度可延长续航", kIdeal}));
}

// Neither the critical low-charge advice nor the full-charge one without a charge reading.
TEST(BatteryAdvisor, UnknownChargeGivesNoChargeAdvice) {
    for (BatteryInfo b : {unplugged(5, 5), charging(95, 30, 5)}) {
        b.currentCapacityPct.reset();
        EXPECT_EQ(texts(b), Texts{kAllClear});
    }
}

TEST(BatteryAdvisorTest, ChargeLimitQuietsUnplugAdviceAndIsSuggestedOnlyWhenNoneIsSet) {
    const auto limited = [](BatteryInfo b, int endPct) {
        b.chargeEndThresholdPct = endPct;
        return b;
    };
    BatteryInfo inhibited = charging(85, 96, 0);
    inhibited.chargeBehaviour = BatteryInfo::ChargeBehaviour::inhibitCharge;
    expectTexts(
        {// Trickling at the limit: neither "unplug" nor the taper explanation.
         {limited(charging(80, 96, 0.2), 80), {kAllClear}},
         {limited(charging(79, 96, 0), 80), {kAllClear}},
         {inhibited, {kAllClear}},
         // Still charging towards a higher limit: the advice stands.
         {limited(charging(85, 96, 48), 90), {kNearFull}},
         {limited(charging(15, 0, 30), 80), {"电量较低（15%）正在充电，建议充至 80% 以上再拔下"}},
         // Full on the adapter with the driver offering a limit that is off.
         {limited(idle(100), 100), {"长期接电源并保持满电会加速电池老化，可在设置中把充电上限设为 80%"}},
         {limited(idle(100), 80), {kAllClear}},
         {limited(idle(100), 0), {kAllClear}},  // the driver offers none: nothing to set
         {limited(unplugged(100, 0), 100), {kAllClear}}});
}
