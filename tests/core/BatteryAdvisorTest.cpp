#include <gtest/gtest.h>

#include "BatteryAdvisor.h"

#include <clocale>
#include <cstdio>
#include <string>

namespace joulemap {
namespace {

using BatteryAdvisor::Advice;
using Severity = Advice::Severity;

const std::string kAllClear = "电池状态良好，保持当前的用电习惯即可";

// Healthy, cool, on an adapter and not charging: no rule holds.
BatteryInfo idle() {
    BatteryInfo b;
    b.temperatureC = 30;
    b.isExternalConnected = true;
    b.currentCapacityPct = 90;
    b.systemHealthPct = 85;
    b.cycleCount = 300;
    b.designCycleCount = 1000;
    return b;
}

BatteryInfo charging(int64_t pct, double adapterW, double intoBatteryW) {
    BatteryInfo b = idle();
    b.isCharging = true;
    b.currentCapacityPct = pct;
    b.adapterWatts = adapterW;
    b.batteryPowerMw = intoBatteryW * 1000;
    return b;
}

// Unplugged, drawing dischargeW from the battery at 10 V.
BatteryInfo unplugged(int64_t pct, double dischargeW) {
    BatteryInfo b = idle();
    b.isExternalConnected = false;
    b.currentCapacityPct = pct;
    b.voltageMv = 10'000;
    b.instantAmperageMa = -dischargeW * 100;
    return b;
}

std::vector<std::string> texts(const BatteryInfo& b, int64_t max = 99) {
    std::vector<std::string> result;
    for (const auto& item : BatteryAdvisor::advice(b, max)) result.push_back(item.text);
    return result;
}

using Texts = std::vector<std::string>;

std::string taperText(const std::string& pct, const std::string& chargeW, const std::string& adapterW) {
    return "当前电量 " + pct + "%，充电功率约 " + chargeW + "W 低于充电器额定 " + adapterW +
           "W——这是正常的。高电量时电池进入恒压缓充阶段，系统主动降低充电功率以保护电池寿命，"
           "接近满电时会进一步降至涓流甚至暂停";
}

TEST(BatteryAdvisorTest, TemperatureRulesSwitchAtThirtySixAndFortyAndAllClearOtherwise) {
    EXPECT_EQ(BatteryAdvisor::advice(idle(), 2),
              (std::vector<Advice>{Advice("✅", kAllClear, Severity::good)}));
    EXPECT_EQ(BatteryAdvisor::advice(idle(), 2)[0].id, "1|" + kAllClear);

    auto at = [](double celsius) {
        BatteryInfo b = idle();
        b.temperatureC = celsius;
        return b;
    };
    EXPECT_EQ(
        BatteryAdvisor::advice(at(40.0), 9),
        (std::vector<Advice>{Advice("🔥", "电池温度 40℃ 过高，暂停高负载任务让其降温，高温会加速电池老化",
                                    Severity::critical)}));
    EXPECT_EQ(BatteryAdvisor::advice(at(39.99), 9),
              (std::vector<Advice>{
                  Advice("🌡️", "电池温度偏高（40℃），避免长时间高负载使用", Severity::warn)}));
    EXPECT_EQ(texts(at(36.0)), Texts{"电池温度偏高（36℃），避免长时间高负载使用"});
    EXPECT_EQ(texts(at(35.99)), Texts{kAllClear});
}

TEST(BatteryAdvisorTest, ChargingRulesFollowChargeAdapterAndChargePower) {
    const std::string nearFull = "已充至 85%，可拔下电源。长期保持满电状态会缩短电池寿命";
    const auto full = BatteryAdvisor::advice(charging(85, 96, 20), 9);
    ASSERT_EQ(full.size(), 2u);
    EXPECT_EQ(full[0], Advice("🔌", nearFull, Severity::warn));
    EXPECT_EQ(full[1], Advice("💡", taperText("85", "20", "96"), Severity::info));
    EXPECT_EQ(texts(charging(85, 96, 48)), Texts{nearFull});  // half the rating is no longer tapering

    // Flagged as charging while the battery gives power: the charge power counts as 0 W.
    EXPECT_EQ(texts(charging(80, 20.9, -3))[1], taperText("80", "0", "20"));

    const std::string slow = "正在慢速充电（充电器 15W），使用原装或更高功率充电器可更快充满";
    EXPECT_EQ(texts(charging(50, 15, 11.9)), Texts{slow});
    EXPECT_EQ(texts(charging(50, 15, 12.0)), Texts{kAllClear});
    EXPECT_EQ(texts(charging(50, 19.9, 0))[0],
              "正在慢速充电（充电器 19W），使用原装或更高功率充电器可更快充满");
    EXPECT_EQ(texts(charging(50, 20, 0)), Texts{kAllClear});

    EXPECT_EQ(texts(charging(19, 0, 30)), Texts{"电量较低（19%）正在充电，建议充至 80% 以上再拔下"});
    EXPECT_EQ(texts(charging(20, 0, 30)), Texts{kAllClear});
    EXPECT_EQ(texts(charging(79, 96, 20)), Texts{kAllClear});
}

TEST(BatteryAdvisorTest, OnBatteryRulesFollowChargeAndDischargePower) {
    const std::string ideal = "电量处于理想区间（20-80%），保持此范围使用有助延长电池寿命";
    EXPECT_EQ(texts(unplugged(80, 0)), Texts{ideal});
    EXPECT_EQ(texts(unplugged(81, 0)), Texts{kAllClear});
    EXPECT_EQ(texts(unplugged(20, 0)),
              (Texts{"电量仅剩 20%，建议尽快接入电源，避免深度放电损伤电池", ideal}));

    EXPECT_EQ(texts(unplugged(90, 25.0)), Texts{kAllClear});
    EXPECT_EQ(texts(unplugged(90, 25.04)),
              Texts{"当前放电功率较高（25.0W），关闭耗电应用或降低屏幕亮度可延长续航"});

    BatteryInfo hot = unplugged(15, 30);
    hot.temperatureC = 45;
    const auto firstTwo = BatteryAdvisor::advice(hot, 2);
    ASSERT_EQ(firstTwo.size(), 2u);
    EXPECT_EQ(firstTwo[0].icon, "🔥");
    EXPECT_EQ(firstTwo[1],
              Advice("🔋", "电量仅剩 15%，建议尽快接入电源，避免深度放电损伤电池", Severity::critical));
    EXPECT_EQ(texts(hot)[2], "当前放电功率较高（30.0W），关闭耗电应用或降低屏幕亮度可延长续航");
}

TEST(BatteryAdvisorTest, HealthAndCycleRules) {
    BatteryInfo worn = idle();
    worn.systemHealthPct = 0;
    worn.designCapacityMah = 1000;
    worn.maxCapacityMah = 795;  // 79.5 % shows as 80 % although it is below the threshold
    const Advice health("⚠️", "电池健康度偏低（80%），续航和峰值性能可能下降，建议预约官方检测",
                        Severity::warn);
    EXPECT_EQ(BatteryAdvisor::advice(worn, 9), std::vector<Advice>{health});
    EXPECT_EQ(health.id, "2|" + health.text);

    worn.designCapacityMah = 0;  // no health figure at all: unknown, not worn
    EXPECT_EQ(texts(worn), Texts{kAllClear});
    worn.designCapacityMah = 1000;

    // Same severity keeps rule order: temperature before health.
    worn.temperatureC = 37;
    EXPECT_EQ(texts(worn)[0], "电池温度偏高（37℃），避免长时间高负载使用");

    BatteryInfo cycles = idle();
    cycles.cycleCount = 800;
    EXPECT_EQ(texts(cycles), Texts{"循环次数 800/1000，已接近设计上限，电池进入生命周期后期"});
    cycles.cycleCount = 799;
    EXPECT_EQ(texts(cycles), Texts{kAllClear});
    cycles.cycleCount = 5000;
    cycles.designCycleCount = 0;
    EXPECT_EQ(texts(cycles), Texts{kAllClear});
}

TEST(BatteryAdvisorTest, NoBatteryNoAdvice) {
    EXPECT_TRUE(BatteryAdvisor::advice(BatteryInfo::unknown(), 2).empty());
    EXPECT_TRUE(BatteryAdvisor::advice(unplugged(15, 30), 2, false).empty());
    EXPECT_EQ(texts(unplugged(15, 0))[0], "电量仅剩 15%，建议尽快接入电源，避免深度放电损伤电池");
}

// Under a comma-decimal locale the C library would print "30,3W"; the advice must not.
TEST(BatteryAdvisorTest, TextsIgnoreTheProcessLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not generated (tools/dev.sh does it)";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 30.3);
    BatteryInfo hot = unplugged(50, 30.25);
    hot.temperatureC = 39.6;
    const Texts result = texts(hot);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(std::string(probe), "30,3");  // the locale is really in effect
    EXPECT_EQ(result, (Texts{"电池温度偏高（40℃），避免长时间高负载使用",
                             "当前放电功率较高（30.3W），关闭耗电应用或降低屏幕亮度可延长续航",
                             "电量处于理想区间（20-80%），保持此范围使用有助延长电池寿命"}));
}

TEST(BatteryAdvisorTest, MaxLimitsTheListAndRawSeveritiesMapBack) {
    BatteryInfo many = unplugged(15, 30);
    many.temperatureC = 45;
    EXPECT_TRUE(BatteryAdvisor::advice(many, 0).empty());
    EXPECT_TRUE(BatteryAdvisor::advice(many, -1).empty());
    EXPECT_EQ(BatteryAdvisor::severityFromRaw(3), Severity::critical);
    EXPECT_FALSE(BatteryAdvisor::severityFromRaw(4));
}

// Neither the critical low-charge advice nor the full-charge one without a charge reading.
TEST(BatteryAdvisor, UnknownChargeGivesNoChargeAdvice) {
    BatteryInfo low = unplugged(5, 5);
    BatteryInfo full = charging(95, 30, 5);
    for (BatteryInfo* b : {&low, &full}) {
        b->currentCapacityPct.reset();
        EXPECT_EQ(texts(*b), Texts{kAllClear});
    }
}

}  // namespace
}  // namespace joulemap

namespace joulemap {
namespace {

TEST(BatteryAdvisorTest, ChargeLimitQuietsUnplugAdviceAndIsSuggestedOnlyWhenNoneIsSet) {
    const std::string suggest = "长期接电源并保持满电会加速电池老化，可在设置中把充电上限设为 80%";
    const auto limited = [](BatteryInfo b, int endPct) {
        b.chargeEndThresholdPct = endPct;
        return b;
    };
    BatteryInfo full = idle();
    full.currentCapacityPct = 100;
    BatteryInfo inhibited = charging(85, 96, 0);
    inhibited.chargeBehaviour = BatteryInfo::ChargeBehaviour::inhibitCharge;
    const std::vector<std::pair<BatteryInfo, Texts>> cases{
        // Trickling at the limit: neither "unplug" nor the taper explanation.
        {limited(charging(80, 96, 0.2), 80), Texts{kAllClear}},
        {limited(charging(79, 96, 0), 80), Texts{kAllClear}},
        {inhibited, Texts{kAllClear}},
        // Still charging towards a higher limit: the advice stands.
        {limited(charging(85, 96, 48), 90), Texts{"已充至 85%，可拔下电源。长期保持满电状态会缩短电池寿命"}},
        {limited(charging(15, 0, 30), 80), Texts{"电量较低（15%）正在充电，建议充至 80% 以上再拔下"}},
        // Full on the adapter with the driver offering a limit that is off.
        {limited(full, 100), Texts{suggest}},
        {limited(full, 80), Texts{kAllClear}},
        {limited(full, 0), Texts{kAllClear}},  // the driver offers none: nothing to set
        {limited(unplugged(100, 0), 100), Texts{kAllClear}},
    };
    for (const auto& [battery, expected] : cases) {
        EXPECT_EQ(texts(battery), expected) << battery.chargeEndThresholdPct << " " << *battery.currentCapacityPct;
    }
}

}  // namespace
}  // namespace joulemap
