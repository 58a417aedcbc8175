#include "PowerAggregator.h"

#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace joulemap::PowerAggregator {

namespace {

constexpr double kMinSystemWatts = 0.1;
// A notebook on battery never draws less than this, whatever a zero reading claims.
constexpr double kMinBatteryDrainWatts = 4.0;
constexpr double kDesktopEstimateWatts = 4.0;
// Hardware keeps at least this part of the system power even when the apps claim more.
constexpr double kMinHardwareFraction = 0.3;
constexpr double kDisplayFraction = 0.35;
constexpr double kCpuFraction = 0.45;
constexpr double kGpuFraction = 0.2;
// Guards the division when the applications were nearly idle.
constexpr double kMinAppFractionSum = 0.01;
constexpr double kMinAppWatts = 0.1;
// Smaller charging powers are measurement noise, not a flow worth drawing.
constexpr double kMinChargingWatts = 0.1;
constexpr double kSlowChargeBelowWatts = 18.0;

constexpr std::string_view kUsbPd = "USB-PD";
constexpr std::string_view kDefaultAppIcon = "\U0001F7E6";
constexpr std::string_view kDefaultAppColor = "#64d2ff";

constexpr std::string_view kBatteryIcon = "\U0001F50B";
constexpr std::string_view kBoltIcon = "\u26A1";
constexpr std::string_view kBatteryColor = "#ffd60a";
constexpr std::string_view kExternalPowerColor = "#30d158";

struct AppStyle {
    std::string_view name;
    std::string_view icon;
    std::string_view color;  // empty: the default colour
};

constexpr std::string_view kGlobe = "\U0001F310";
constexpr std::string_view kTools = "\U0001F6E0";
constexpr std::string_view kCommandKey = "\u2318";
constexpr std::string_view kSpeechBalloon = "\U0001F4AC";
constexpr std::string_view kGrid = "\u25A6";
constexpr std::string_view kEnvelope = "\u2709";
constexpr std::string_view kPage = "\U0001F4C4";
constexpr std::string_view kNote = "\U0001F3B5";
constexpr std::string_view kCamera = "\U0001F3A5";

// Names as the process sampler's rules produce them; "Cursor" is the fifth built-in rule.
constexpr AppStyle kAppStyles[] = {
    {"Chrome", kGlobe, "#4285f4"},
    {"Brave", kGlobe, "#fb542b"},
    {"Safari", kGlobe, "#5ac8fa"},
    {"Edge", kGlobe, "#0a84ff"},
    {"Firefox", kGlobe, "#ff7139"},
    {"Arc", kGlobe, ""},
    {"Xcode", kTools, "#1575f9"},
    {"VS Code", kCommandKey, "#0a84ff"},
    {"Cursor", kCommandKey, "#0a84ff"},
    {"Slack", kSpeechBalloon, "#e5e5e5"},
    {"钉钉", kSpeechBalloon, "#007fff"},
    {"终端", kGrid, ""},
    {"微信", kEnvelope, "#07c160"},
    {"飞书", kEnvelope, "#00d6b9"},
    {"Telegram", kEnvelope, ""},
    {"WPS", kPage, "#d8232a"},
    {"Pages", kPage, ""},
    {"Numbers", kPage, ""},
    {"Keynote", kPage, ""},
    {"Spotify", kNote, "#1db954"},
    {"音乐", kNote, ""},
    {"Zoom", kCamera, ""},
};

const AppStyle* findStyle(std::string_view appName) {
    for (const AppStyle& style : kAppStyles) {
        if (style.name == appName) {
            return &style;
        }
    }
    return nullptr;
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

// The rating in whole watts, cut toward zero (96.7 -> "96"); printed, not cast, so huge values stay defined.
std::string wholeWatts(double watts) {
    char buffer[320];  // the largest double has 309 integer digits
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::trunc(watts), std::chars_format::fixed, 0);
    return std::string(buffer, result.ptr);
}

PowerDestination hardware(const char* id, const char* name, std::string_view icon, const char* color,
                          double power) {
    return {id, name, std::string(icon), color, PowerGroup::hardware, round1(power)};
}

}  // namespace

std::string appIcon(std::string_view appName) {
    const AppStyle* style = findStyle(appName);
    return std::string(style ? style->icon : kDefaultAppIcon);
}

std::string appColor(std::string_view appName) {
    const AppStyle* style = findStyle(appName);
    return std::string(style && !style->color.empty() ? style->color : kDefaultAppColor);
}

std::vector<PowerDestination> buildDestinations(double systemW, const std::vector<AppShare>& appShares) {
    const double watts = std::max(kMinSystemWatts, systemW);

    double systemFraction = 0;
    const auto systemShare = std::find_if(appShares.begin(), appShares.end(),
                                          [](const AppShare& s) { return s.name == kSystemShareName; });
    if (systemShare != appShares.end()) {
        systemFraction = systemShare->fraction;
    }
    std::vector<const AppShare*> apps;
    apps.reserve(appShares.size());
    for (const AppShare& share : appShares) {
        if (share.name != kSystemShareName) {
            apps.push_back(&share);
        }
    }

    const double appWatts = apps.empty() ? 0 : (1 - systemFraction) * watts;
    // Not capped by W: with a small system fraction hardware and apps may add up to more than W.
    const double hardwareWatts = std::max(watts - appWatts, kMinHardwareFraction * watts);

    std::vector<PowerDestination> destinations;
    destinations.reserve(3 + kMaxAppDestinations + 1);  // room for the battery appended by aggregate()
    destinations.push_back(
        hardware("display", "显示屏", "\U0001F5A5", "#64d2ff", kDisplayFraction * hardwareWatts));
    destinations.push_back(hardware("cpu", "CPU/系统", "\u2699", "#ff9f0a", kCpuFraction * hardwareWatts));
    destinations.push_back(hardware("gpu", "GPU", "\u25C8", "#bf5af2", kGpuFraction * hardwareWatts));

    if (!apps.empty()) {
        // Every app counts in the sum, also those beyond the fifth, so dropped apps keep their power away.
        double fractionSum = 0;
        for (const AppShare* app : apps) {
            fractionSum += app->fraction;
        }
        fractionSum = std::max(fractionSum, kMinAppFractionSum);
        const std::size_t shown = std::min(apps.size(), kMaxAppDestinations);
        for (std::size_t i = 0; i < shown; ++i) {
            const AppShare& app = *apps[i];
            const double power = app.fraction / fractionSum * appWatts;
            if (power >= kMinAppWatts) {
                destinations.push_back({app.name, app.name, appIcon(app.name), appColor(app.name),
                                        PowerGroup::app, round1(power)});
            }
        }
    }

    std::stable_sort(destinations.begin(), destinations.end(),
                     [](const PowerDestination& a, const PowerDestination& b) { return a.power > b.power; });
    return destinations;
}

std::string adapterLabel(const BatteryInfo& battery, double inputW) {
    const double ratedW = battery.adapterWatts;
    std::string label;
    if (ratedW > 0) {
        label = wholeWatts(ratedW) + "W";
    }
    if (battery.chargingProtocol != kUsbPd) {
        if (ratedW > 0 && ratedW < kSlowChargeBelowWatts) {
            label += " 慢充";
        } else if (label.empty()) {
            label = "电源";
        }
    } else if (battery.isPdFastCharge) {
        label = "USB-PD " + label + " 快充";
    } else {
        // Without a rating this reads just "USB-PD".
        label = trimmed("USB-PD " + label);
    }
    return label + " · 实际 " + num(round1(inputW)) + "W";
}

JoulemapData aggregate(const BatteryInfo& battery, const std::vector<AppShare>& appShares) {
    JoulemapData data;
    if (!battery.isExternalConnected) {
        const double measuredW =
            std::max(std::fabs(battery.batteryPowerMw) / 1000,
                     std::fabs(battery.instantAmperageMa * battery.voltageMv) / 1'000'000);
        const double systemW = std::max(kMinBatteryDrainWatts, measuredW);
        data.destinations = buildDestinations(systemW, appShares);
        data.inputName = "电池";
        data.inputSub = "放电输出 · " + num(round1(systemW)) + "W";
        data.inputColor = kBatteryColor;
        data.inputIcon = kBatteryIcon;
        return data;
    }

    const double inputW = battery.systemPowerInMw > 0 ? battery.systemPowerInMw / 1000 : battery.adapterWatts;
    const double batteryW = battery.batteryPowerMw / 1000;
    if (batteryW >= 0) {
        data.destinations = buildDestinations(std::max(0.0, inputW - batteryW), appShares);
        // Appended after the sort: the battery always closes the list, however large it is.
        if (batteryW > kMinChargingWatts) {
            data.destinations.push_back({"battery", "电池充电", std::string(kBatteryIcon),
                                         std::string(kBatteryColor), PowerGroup::battery, round1(batteryW)});
        }
    } else {
        // Discharging although plugged in: the adapter cannot cover the load, so all of its input is the
        // system's.
        data.destinations = buildDestinations(std::max(0.0, inputW), appShares);
    }
    data.inputName = "充电器";
    data.inputSub = adapterLabel(battery, inputW);
    data.inputColor = kExternalPowerColor;
    data.inputIcon = kBoltIcon;
    return data;
}

JoulemapData aggregateDesktop(const std::vector<AppShare>& appShares) {
    JoulemapData data;
    data.destinations = buildDestinations(kDesktopEstimateWatts, appShares);
    data.inputName = "电源";
    data.inputSub = "交流供电 · " + num(kDesktopEstimateWatts) + "W";
    data.inputColor = kExternalPowerColor;
    data.inputIcon = kBoltIcon;
    return data;
}

}  // namespace joulemap::PowerAggregator
