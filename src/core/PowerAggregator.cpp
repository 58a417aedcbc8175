#include "PowerAggregator.h"

#include "NumberFormat.h"
#include "TextTranslation.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

namespace joulemap::PowerAggregator {

namespace {

constexpr double kMinSystemWatts = 0.1;
// A notebook on battery never draws less than this, whatever a zero reading claims.
constexpr double kMinBatteryDrainWatts = 4.0;
// Hardware keeps at least this part of the system power even when the apps claim more.
constexpr double kMinHardwareFraction = 0.3;
constexpr double kDisplayFraction = 0.35;
constexpr double kCpuFraction = 0.45;
constexpr double kGpuFraction = 0.2;
// Applications below this get no band of their own, and neither does "其他应用".
constexpr double kMinAppWatts = 0.1;
// Smaller charging powers are measurement noise, not a flow worth drawing.
constexpr double kMinChargingWatts = 0.1;
constexpr double kSlowChargeBelowWatts = 18.0;
// Bands are rounded to tenths of a watt.
constexpr double kTenthsPerWatt = 10.0;
// Comparisons against the 0.1 W thresholds forgive the binary representation of a tenth.
constexpr double kRoundingSlack = 1e-9;
// Beyond this a reading is nonsense; its bands are rounded one by one instead of apportioned.
constexpr double kMaxApportionedWatts = 1e9;

constexpr std::string_view kUsbPd = "USB-PD";
constexpr std::string_view kDefaultAppIcon = "\U0001F7E6";
constexpr std::string_view kOtherAppsIcon = "\u00B7";
constexpr std::string_view kOtherAppsColor = "#8e8e93";
// Distinct from each other and from every hardware, battery and group colour, so an application
// without its own colour is never mistaken for a component.
constexpr std::string_view kAppPalette[] = {
    "#5e5ce6", "#ff6482", "#2a9d8f", "#ac8e68", "#9bbf3a", "#d98cb3", "#3d7ea6", "#e07a5f",
};

constexpr SourceText kMeasuredWord = JM_TR_NOOP("PowerAggregator", "实际");
constexpr SourceText kMainsPower = JM_TR_NOOP("PowerAggregator", "交流供电");
constexpr SourceText kEstimatedWord = JM_TR_NOOP("PowerAggregator", "估算");

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

// FNV-1a over the name's bytes: stable across runs and platforms, unlike std::hash.
std::size_t stableHash(std::string_view text) {
    constexpr std::uint32_t kOffsetBasis = 2166136261u;
    constexpr std::uint32_t kPrime = 16777619u;
    std::uint32_t hash = kOffsetBasis;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kPrime;
    }
    return hash;
}

// A meter's figure only counts when it is a real power.
std::optional<double> usable(std::optional<double> watts) {
    if (watts && std::isfinite(*watts) && *watts >= 0) return watts;
    return std::nullopt;
}

// Whether the total being split was measured on its own or is the sum of the component meters.
enum class Total { independent, componentsOnly };

PowerDestination hardwareBand(const char* id, std::string name, std::string_view icon, const char* color, double power,
                              bool estimated) {
    return {id, std::move(name), std::string(icon), color, PowerGroup::hardware, power, estimated};
}

// The destinations with unrounded powers that add up to max(0.1, systemW).
std::vector<PowerDestination> splitSystemPower(double systemW, const std::vector<AppShare>& appShares,
                                               const MeasuredPower& measured, Total total, bool totalEstimated) {
    const double watts = std::max(kMinSystemWatts, systemW);

    double systemFraction = 0;
    const auto systemShare = std::find_if(appShares.begin(), appShares.end(),
                                          [](const AppShare& s) { return s.name == kSystemShareName; });
    if (systemShare != appShares.end() && std::isfinite(systemShare->fraction)) {
        systemFraction = std::clamp(systemShare->fraction, 0.0, 1.0);
    }
    std::vector<const AppShare*> apps;
    apps.reserve(appShares.size());
    for (const AppShare& share : appShares) {
        if (share.name != kSystemShareName) apps.push_back(&share);
    }
    const double appsClaimW = apps.empty() ? 0 : (1 - systemFraction) * watts;

    std::optional<double> cpuW = usable(measured.cpuWatts());
    std::optional<double> gpuW = usable(measured.graphicsWatts());
    const double meteredW = cpuW.value_or(0) + gpuW.value_or(0);
    double hardwareW = std::max(watts - appsClaimW, kMinHardwareFraction * watts);
    double scale = 1;
    if (total == Total::componentsOnly) {
        // The meters are the whole total here: the applications' part comes out of them.
        scale = meteredW > 0 ? hardwareW / meteredW : 0;
    } else {
        // A component cannot draw more than the whole machine; a meter averaging over a longer
        // interval than the total's reading can still say so for a moment.
        if (meteredW > watts) scale = watts / meteredW;
        hardwareW = std::max(hardwareW, meteredW * scale);
    }
    if (cpuW) *cpuW *= scale;
    if (gpuW) *gpuW *= scale;

    // What the meters leave of the hardware goes to the unmetered parts by today's proportions.
    const double remainderW = std::max(0.0, hardwareW - cpuW.value_or(0) - gpuW.value_or(0));
    const bool splitRemainder = total == Total::independent;
    const double unmeteredFractions =
        kDisplayFraction + (cpuW ? 0 : kCpuFraction) + (gpuW ? 0 : kGpuFraction);
    const auto share = [&](double fraction) { return remainderW * fraction / unmeteredFractions; };

    std::vector<PowerDestination> destinations;
    destinations.reserve(3 + kMaxAppDestinations + 2);  // room for "其他应用" and the battery
    if (splitRemainder) {
        destinations.push_back(hardwareBand("display", JM_TR("PowerAggregator", "显示屏"), "\U0001F5A5", "#64d2ff", share(kDisplayFraction), true));
    }
    if (cpuW || splitRemainder) {
        destinations.push_back(hardwareBand("cpu", JM_TR("PowerAggregator", "CPU/系统"), "\u2699", "#ff9f0a", cpuW ? *cpuW : share(kCpuFraction),
                                            !cpuW || totalEstimated));
    }
    if (gpuW || splitRemainder) {
        destinations.push_back(hardwareBand("gpu", "GPU", "\u25C8", "#bf5af2", gpuW ? *gpuW : share(kGpuFraction),
                                            !gpuW || totalEstimated));
    }

    // The applications share what the hardware leaves.
    const double appsW = std::max(0.0, watts - hardwareW);
    double fractionSum = 0;
    for (const AppShare* app : apps) {
        if (std::isfinite(app->fraction) && app->fraction > 0) fractionSum += app->fraction;
    }
    double otherW = fractionSum > 0 ? 0 : appsW;
    std::size_t listed = 0;
    for (const AppShare* app : apps) {
        if (!(fractionSum > 0)) break;
        const double fraction = std::isfinite(app->fraction) && app->fraction > 0 ? app->fraction : 0;
        const double power = fraction / fractionSum * appsW;
        if (listed < kMaxAppDestinations && power + kRoundingSlack >= kMinAppWatts) {
            destinations.push_back({app->name, app->name, appIcon(app->name), appColor(app->name), PowerGroup::app,
                                    power, totalEstimated});
            ++listed;
        } else {
            otherW += power;
        }
    }
    if (otherW + kRoundingSlack >= kMinAppWatts) {
        destinations.push_back({std::string(kOtherAppsId), kOtherAppsName.str(), std::string(kOtherAppsIcon),
                                std::string(kOtherAppsColor), PowerGroup::app, otherW, totalEstimated});
    } else if (otherW > 0) {
        // Crumbs too small for a band of their own stay with the system, so nothing is lost.
        const auto cpu = std::find_if(destinations.begin(), destinations.end(),
                                      [](const PowerDestination& d) { return d.id == "cpu"; });
        (cpu != destinations.end() ? *cpu : destinations.front()).power += otherW;
    }
    return destinations;
}

// Rounds every band to 0.1 W so that the rounded bands add up to the figure the source shows (or,
// without one, to their rounded sum): each band goes down to its tenth, and the tenths missing from
// the total go to the bands that lost most by that.
void roundToTotal(std::vector<PowerDestination>& destinations, std::optional<double> shownW = std::nullopt) {
    double total = 0;
    for (const PowerDestination& d : destinations) total += d.power;
    if (!(total < kMaxApportionedWatts)) {
        for (PowerDestination& d : destinations) d.power = round1(d.power);
        return;
    }
    // The shown figure is rounded on its own (halves away from zero); the bands follow it.
    long long targetTenths = std::llround((shownW ? round1(*shownW) : total) * kTenthsPerWatt);
    std::vector<long long> tenths(destinations.size());
    std::vector<double> lost(destinations.size());
    long long assigned = 0;
    for (std::size_t i = 0; i < destinations.size(); ++i) {
        const double exact = destinations[i].power * kTenthsPerWatt;
        tenths[i] = static_cast<long long>(std::floor(exact + kRoundingSlack));
        lost[i] = exact - static_cast<double>(tenths[i]);
        assigned += tenths[i];
    }
    // Each band moves by less than a tenth, so the target can only be reached within these bounds.
    targetTenths = std::clamp(targetTenths, assigned, assigned + static_cast<long long>(destinations.size()));
    std::vector<std::size_t> order(destinations.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return lost[a] > lost[b]; });
    for (std::size_t k = 0; k < order.size() && assigned < targetTenths; ++k, ++assigned) ++tenths[order[k]];
    for (std::size_t i = 0; i < destinations.size(); ++i) {
        destinations[i].power = static_cast<double>(tenths[i]) / kTenthsPerWatt;
    }
}

void sortByPower(std::vector<PowerDestination>::iterator first, std::vector<PowerDestination>::iterator last) {
    std::stable_sort(first, last,
                     [](const PowerDestination& a, const PowerDestination& b) { return a.power > b.power; });
}

std::vector<PowerDestination> finished(std::vector<PowerDestination> destinations,
                                       std::optional<double> shownW = std::nullopt) {
    roundToTotal(destinations, shownW);
    sortByPower(destinations.begin(), destinations.end());
    return destinations;
}

std::string wattsText(double watts) { return num(round1(watts)) + "W"; }

}  // namespace

std::string appIcon(std::string_view appName) {
    const AppStyle* style = findStyle(appName);
    return std::string(style ? style->icon : kDefaultAppIcon);
}

std::string appColor(std::string_view appName) {
    const AppStyle* style = findStyle(appName);
    if (style && !style->color.empty()) return std::string(style->color);
    constexpr std::size_t kPaletteSize = std::size(kAppPalette);
    return std::string(kAppPalette[stableHash(appName) % kPaletteSize]);
}

std::vector<PowerDestination> buildDestinations(double systemW, const std::vector<AppShare>& appShares,
                                                const MeasuredPower& measured) {
    return finished(splitSystemPower(systemW, appShares, measured, Total::independent, false));
}

std::vector<PowerDestination> buildDestinations(double systemW, const std::vector<AppShare>& appShares) {
    return buildDestinations(systemW, appShares, MeasuredPower{});
}

namespace {

// The adapter as it describes itself: its rating and protocol ("USB-PD 96W 快充", "12W 慢充", "电源").
std::string ratingLabel(const BatteryInfo& battery) {
    const double ratedW = battery.adapterWatts;
    std::string label;
    if (ratedW > 0) {
        label = wholeWatts(ratedW) + "W";
    }
    if (battery.chargingProtocol != kUsbPd) {
        if (ratedW > 0 && ratedW < kSlowChargeBelowWatts) {
            label = withArgs(JM_TR("PowerAggregator", "%1 慢充"), {label});
        } else if (label.empty()) {
            label = JM_TR("PowerAggregator", "电源");
        }
    } else if (battery.isPdFastCharge) {
        label = withArgs(JM_TR("PowerAggregator", "USB-PD %1 快充"), {label});
    } else {
        // Without a rating this reads just "USB-PD".
        label = trimmed("USB-PD " + label);
    }
    return label;
}

// Plugged in while the battery discharges: the machine consumes what the adapter gives plus what the
// battery gives. The platform meter measures that whole consumption; an adapter's own meter only its
// part, to which the battery's is added. Without either, only a lower bound is known: the discharge
// (or the component meters, if they read more), and the sub-line says "至少".
JoulemapData aggregateWeakAdapter(const BatteryInfo& battery, const std::vector<AppShare>& appShares,
                                  const MeasuredPower& measured) {
    const double dischargeW = battery.dischargeWatts();
    std::optional<double> consumptionW;
    if (const auto platformW = usable(measured.platformWatts)) {
        consumptionW = std::max(*platformW, dischargeW);
    } else if (battery.systemPowerInMw > 0) {
        consumptionW = battery.systemPowerInMw / 1000 + dischargeW;
    }
    const double meteredW =
        usable(measured.cpuWatts()).value_or(0) + usable(measured.graphicsWatts()).value_or(0);
    const double systemW = consumptionW.value_or(std::max(dischargeW, meteredW));

    JoulemapData data;
    data.destinations =
        finished(splitSystemPower(systemW, appShares, measured, Total::independent, !consumptionW), systemW);
    data.inputMeasured = consumptionW.has_value();
    data.inputName = JM_TR("PowerAggregator", "充电器");
    // The verdict and the figure's kind first: a narrow card cuts the line's end.
    data.inputSub = kAdapterTooWeakText.str() + " · " +
                    (consumptionW ? kMeasuredWord.str() : JM_TR("PowerAggregator", "至少")) + " " +
                    wattsText(systemW) + " · " +
                    withArgs(JM_TR("PowerAggregator", "电池放电 %1"), {wattsText(dischargeW)}) + " · " +
                    ratingLabel(battery);
    data.inputColor = kExternalPowerColor;
    data.inputIcon = kBoltIcon;
    return data;
}

}  // namespace

std::string adapterLabel(const BatteryInfo& battery, double inputW, bool inputMeasured) {
    return ratingLabel(battery) + " · " + (inputMeasured ? kMeasuredWord : kEstimatedWord).str() + " " +
           wattsText(inputW);
}

std::string adapterLabel(const BatteryInfo& battery, double inputW) { return adapterLabel(battery, inputW, true); }

JoulemapData aggregate(const BatteryInfo& battery, const std::vector<AppShare>& appShares,
                       const MeasuredPower& measured) {
    JoulemapData data;
    if (!battery.isExternalConnected) {
        const double measuredW =
            std::max(std::fabs(battery.batteryPowerMw) / 1000,
                     std::fabs(battery.instantAmperageMa * battery.voltageMv) / 1'000'000);
        const double systemW = std::max(kMinBatteryDrainWatts, measuredW);
        // Below the floor (a driver without a plausible power or current) the figure is the floor
        // itself, not a reading, and says so.
        const bool estimated = measuredW < kMinBatteryDrainWatts;
        data.destinations =
            finished(splitSystemPower(systemW, appShares, measured, Total::independent, estimated), systemW);
        data.inputMeasured = !estimated;
        data.inputName = JM_TR("PowerAggregator", "电池");
        data.inputSub = JM_TR("PowerAggregator", "放电输出") + " · " + (estimated ? kEstimatedWord.str() + " " : std::string()) +
                        wattsText(systemW);
        data.inputColor = kBatteryColor;
        data.inputIcon = kBatteryIcon;
        return data;
    }

    if (battery.isAdapterTooWeak()) return aggregateWeakAdapter(battery, appShares, measured);

    bool inputMeasured = battery.isInputMeasured();
    double inputW = battery.inputPowerWatts();
    const double batteryW = battery.batteryPowerMw / 1000;
    const double chargingW = batteryW > kMinChargingWatts ? batteryW : 0;
    if (!inputMeasured) {
        if (const auto platformW = usable(measured.platformWatts)) {
            inputW = *platformW + chargingW;
            inputMeasured = true;
        } else {
            // The machine consumes at least what its meters read, whatever the estimate says.
            const double meteredW = usable(measured.cpuWatts()).value_or(0) + usable(measured.graphicsWatts()).value_or(0);
            inputW = std::max(0.0, batteryW) + std::max(battery.estimatedConsumptionWatts(), meteredW);
        }
    }
    // A charge below the noise floor, or a discharge below the weak-adapter threshold, is the system's
    // too, so the bands still add up.
    const double systemW = std::max(0.0, inputW - chargingW);
    auto destinations = splitSystemPower(systemW, appShares, measured, Total::independent, !inputMeasured);
    const std::size_t systemBands = destinations.size();
    if (chargingW > 0) {
        destinations.push_back({"battery", JM_TR("PowerAggregator", "电池充电"), std::string(kBatteryIcon), std::string(kBatteryColor),
                                PowerGroup::battery, chargingW});
    }
    roundToTotal(destinations, inputW);
    // Sorted without the battery: it always closes the list, however large it is.
    sortByPower(destinations.begin(), destinations.begin() + static_cast<std::ptrdiff_t>(systemBands));
    data.destinations = std::move(destinations);
    data.inputMeasured = inputMeasured;
    data.inputName = JM_TR("PowerAggregator", "充电器");
    data.inputSub = adapterLabel(battery, inputW, inputMeasured);
    data.inputColor = kExternalPowerColor;
    data.inputIcon = kBoltIcon;
    return data;
}

JoulemapData aggregate(const BatteryInfo& battery, const std::vector<AppShare>& appShares) {
    return aggregate(battery, appShares, MeasuredPower{});
}

JoulemapData aggregateDesktop(const std::vector<AppShare>& appShares, const MeasuredPower& measured) {
    JoulemapData data;
    const std::optional<double> cpuW = usable(measured.cpuWatts());
    const std::optional<double> gpuW = usable(measured.graphicsWatts());
    const double meteredW = cpuW.value_or(0) + gpuW.value_or(0);
    if (const auto platformW = usable(measured.platformWatts)) {
        data.destinations =
            finished(splitSystemPower(*platformW, appShares, measured, Total::independent, false), *platformW);
        data.inputSub = kMainsPower.str() + " · " + kMeasuredWord.str() + " " + wattsText(*platformW);
    } else if (meteredW > 0) {
        // Only the processor (and graphics) are metered: that is the total shown, and it says so.
        data.destinations =
            finished(splitSystemPower(meteredW, appShares, measured, Total::componentsOnly, false), meteredW);
        const std::string metered = !cpuW ? "GPU" : (gpuW ? "CPU+GPU" : "CPU");
        data.inputSub = kMainsPower.str() + " · " + metered + " " + kMeasuredWord.str() + " " + wattsText(meteredW);
    } else {
        data.destinations =
            finished(splitSystemPower(kFallbackConsumptionWatts, appShares, MeasuredPower{}, Total::independent, true),
                     kFallbackConsumptionWatts);
        data.inputSub = kMainsPower.str() + " · " + kEstimatedWord.str() + " " + wattsText(kFallbackConsumptionWatts);
        data.inputMeasured = false;
    }
    data.inputName = JM_TR("PowerAggregator", "电源");
    data.inputColor = kExternalPowerColor;
    data.inputIcon = kBoltIcon;
    return data;
}

JoulemapData aggregateDesktop(const std::vector<AppShare>& appShares) {
    return aggregateDesktop(appShares, MeasuredPower{});
}

}  // namespace joulemap::PowerAggregator
