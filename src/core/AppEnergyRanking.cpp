#include "AppEnergyRanking.h"

#include "TextTranslation.h"

#include "NumberFormat.h"
#include "PowerAggregator.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace joulemap {

namespace {

constexpr double kSmallWh = 0.1;
constexpr double kPercent = 100;

AppEnergySection section(const SourceText& heading, const std::vector<AppEnergy>& totals, bool onBattery,
                         std::size_t maxRows) {
    // The store gives one entry per name and state; adding keeps it right for any input.
    std::map<std::string, double> byName;
    for (const AppEnergy& e : totals) {
        if (e.onBattery == onBattery && std::isfinite(e.wh) && e.wh > 0) byName[e.app] += e.wh;
    }
    std::vector<std::pair<std::string, double>> ranked(byName.begin(), byName.end());
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.second > b.second; });

    AppEnergySection result;
    result.heading = heading.str();
    for (const auto& entry : ranked) result.totalWh += entry.second;
    result.totalText = withArgs(JM_TR("AppEnergyRanking", "共 %1"), {energyText(result.totalWh)});
    const auto row = [&](const std::string& name, double wh) {
        const double share = result.totalWh > 0 ? wh / result.totalWh : 0;
        return AppEnergyRow{appEnergyDisplayName(name), wh, share, energyText(wh), formatFixed(std::round(share * kPercent), 0) + "%"};
    };
    double restWh = 0;
    for (std::size_t i = 0; i < ranked.size(); ++i) {
        // A single entry past the limit is shown under its own name rather than as "其他".
        if (i < maxRows || ranked.size() == maxRows + 1) {
            result.rows.push_back(row(ranked[i].first, ranked[i].second));
        } else {
            restWh += ranked[i].second;
        }
    }
    if (restWh > 0) result.rows.push_back(row(kAppEnergyRestName.str(), restWh));
    return result;
}

}  // namespace

std::vector<AppEnergySection> appEnergySections(const std::vector<AppEnergy>& totals, std::size_t maxRows) {
    return {section(kOnBatteryHeading, totals, true, maxRows), section(kOnMainsHeading, totals, false, maxRows)};
}

std::string appEnergyDisplayName(const std::string& recorded) {
    if (recorded == kSystemEnergyName) return JM_TR("AppEnergyRanking", "系统");
    if (recorded == PowerAggregator::kOtherAppsName.source) return PowerAggregator::kOtherAppsName.str();
    return recorded;
}

std::string energyText(double wh) {
    const int decimals = wh > 0 && wh < kSmallWh ? 2 : 1;
    return formatFixed(wh, decimals) + " Wh";
}

}  // namespace joulemap
