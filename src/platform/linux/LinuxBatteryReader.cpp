#include "LinuxBatteryReader.h"

#include "ReadingRange.h"
#include "SysfsFile.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

namespace joulemap {

namespace {

namespace fs = std::filesystem;
namespace plausible = PlausibleReadings;

// sysfs reports µV, µA, µW, µAh and µWh.
constexpr double kMicroPerMilli = 1000;
constexpr double kMicroPerUnit = 1'000'000;
constexpr double kMilliPerUnit = 1000;
constexpr double kTenthsPerDegree = 10;
constexpr int64_t kSecondsPerMinute = 60;
constexpr double kMinutesPerHour = 60;
// Some firmware fills unknown design voltages with 0 or a token value; a real cell is above 1 V.
constexpr double kMinDesignVoltageUv = 1'000'000;
// A design voltage above what any portable pack has is a filler value like one below 1 V.
constexpr double kMaxDesignVoltageUv = plausible::kVoltageMv.max * kMicroPerMilli;
constexpr double kPdFastChargeWatts = 18;
constexpr double kPercent = 100;
constexpr char kUsbPdProtocol[] = "USB-PD";

struct Supply {
    std::string name;
    fs::path dir;
    std::string type;
};

std::vector<Supply> listSupplies(const fs::path& classDir) {
    std::vector<Supply> supplies;
    for (auto& name : SysfsFile::entryNames(classDir)) {
        fs::path dir = classDir / name;
        std::string type = SysfsFile::readText(dir / "type").value_or("");
        supplies.push_back({std::move(name), std::move(dir), std::move(type)});
    }
    return supplies;
}

// Mice, keyboards and headsets report their own batteries with scope Device. A missing or
// unreadable present file counts as present: many drivers do not provide it.
bool isSystemBattery(const Supply& supply) {
    if (supply.type != "Battery") return false;
    const auto present = SysfsFile::readInt(supply.dir / "present");
    if (present && *present == 0) return false;
    return SysfsFile::readText(supply.dir / "scope") != "Device";
}

// Older kernels spell the kind of USB port into the type (USB_C, USB_PD, USB_DCP...), newer ones
// say USB and list the kinds in usb_type.
bool isUsbType(const std::string& type) { return type == "USB" || type.starts_with("USB_"); }

bool isExternalType(const std::string& type) {
    return type == "Mains" || type == "BrickID" || type == "Wireless" || isUsbType(type);
}

// 1 is online with a fixed supply, 2 online with a programmable one (PD PPS).
bool isOnline(const fs::path& dir) {
    const auto online = SysfsFile::readInt(dir / "online");
    return online && *online > 0;
}

std::optional<double> readDouble(const fs::path& file) {
    const auto value = SysfsFile::readInt(file);
    if (!value) return std::nullopt;
    return static_cast<double>(*value);
}

// A near-zero drain rate gives an absurd time, which is no estimate at all: unknown (0), like any
// reading out of its range, and never converted to an integer it does not fit.
int64_t toMinutes(double hours) {
    const auto minutes = plausible::kMinutesLeft.check(hours * kMinutesPerHour);
    return minutes ? static_cast<int64_t>(*minutes) : 0;
}

std::optional<double> scaled(std::optional<double> raw, double divisor, const ReadingRange& range) {
    if (!raw) return std::nullopt;
    return range.check(*raw / divisor);
}

// One system battery as its driver reports it, in the record's units; signs already say the
// direction (negative while discharging).
struct BatteryReading {
    std::string name;
    std::string status;
    std::optional<int64_t> capacityPct;
    std::optional<int64_t> cycleCount;
    std::optional<double> voltageMv;
    std::optional<double> temperatureC;
    std::optional<double> designMah, fullMah, nowMah;
    // Only when the driver itself reports energies (µWh): time left is then energy ÷ power.
    std::optional<double> energyNowMwh, energyFullMwh;
    std::optional<double> chargeNowMah;  // only when the driver reports charges (µAh)
    std::optional<double> currentMa, powerMw;
    std::optional<int64_t> timeToEmptySeconds;
    int chargeEndThresholdPct = 0, chargeStartThresholdPct = 0;
    BatteryInfo::ChargeBehaviour chargeBehaviour = BatteryInfo::ChargeBehaviour::none;
};

// A threshold outside 1..100 is no threshold (some drivers print 0 for "not set").
int thresholdPct(const fs::path& file) {
    constexpr int64_t kMinPct = 1;
    constexpr int64_t kMaxPct = 100;
    const auto value = SysfsFile::readInt(file);
    return value && *value >= kMinPct && *value <= kMaxPct ? static_cast<int>(*value) : 0;
}

// The driver lists the behaviours it knows and brackets the active one: "[auto] inhibit-charge".
BatteryInfo::ChargeBehaviour chargeBehaviour(const fs::path& file) {
    using Behaviour = BatteryInfo::ChargeBehaviour;
    const std::string text = SysfsFile::readText(file).value_or("");
    const auto open = text.find('[');
    const auto close = text.find(']', open);
    if (open == std::string::npos || close == std::string::npos) return Behaviour::none;
    const std::string active = text.substr(open + 1, close - open - 1);
    if (active == "auto") return Behaviour::automatic;
    if (active == "inhibit-charge") return Behaviour::inhibitCharge;
    if (active == "force-discharge") return Behaviour::forceDischarge;
    return Behaviour::none;
}

BatteryReading readBattery(const Supply& supply) {
    const fs::path& dir = supply.dir;
    BatteryReading r;
    r.name = supply.name;
    r.status = SysfsFile::readText(dir / "status").value_or("");
    // Each reading is checked against what a real battery can report; anything else counts as
    // not reported, so that a figure built from it stays unknown too.
    r.capacityPct = plausible::kChargePct.check(SysfsFile::readInt(dir / "capacity"));
    r.cycleCount = plausible::kCycleCount.check(SysfsFile::readInt(dir / "cycle_count"));
    r.voltageMv = scaled(readDouble(dir / "voltage_now"), kMicroPerMilli, plausible::kVoltageMv);
    const auto voltageUv = r.voltageMv ? std::optional(*r.voltageMv * kMicroPerMilli) : std::nullopt;
    r.temperatureC = scaled(readDouble(dir / "temp"), kTenthsPerDegree, plausible::kTemperatureC);

    // Energy-reporting batteries (most ACPI laptops) give µWh; mAh needs a voltage, and the
    // design voltage keeps the capacities steady while the cell voltage sags.
    std::optional<double> designVoltageUv;
    for (const auto& candidate :
         {readDouble(dir / "voltage_max_design"), readDouble(dir / "voltage_min_design"), voltageUv}) {
        if (candidate && *candidate > kMinDesignVoltageUv && *candidate <= kMaxDesignVoltageUv) {
            designVoltageUv = candidate;
            break;
        }
    }
    const auto capacityMah = [&](const char* chargeFile, const char* energyFile) -> std::optional<double> {
        if (const auto uah = readDouble(dir / chargeFile)) {
            return scaled(uah, kMicroPerMilli, plausible::kCapacityMah);
        }
        const auto mwh = scaled(readDouble(dir / energyFile), kMicroPerMilli, plausible::kCapacityMwh);
        if (mwh && designVoltageUv) {
            return plausible::kCapacityMah.check(*mwh * kMicroPerMilli * kMilliPerUnit / *designVoltageUv);
        }
        return std::nullopt;
    };
    r.designMah = capacityMah("charge_full_design", "energy_full_design");
    r.fullMah = capacityMah("charge_full", "energy_full");
    r.nowMah = capacityMah("charge_now", "energy_now");
    r.chargeNowMah = scaled(readDouble(dir / "charge_now"), kMicroPerMilli, plausible::kCapacityMah);
    r.energyNowMwh = scaled(readDouble(dir / "energy_now"), kMicroPerMilli, plausible::kCapacityMwh);
    r.energyFullMwh = scaled(readDouble(dir / "energy_full"), kMicroPerMilli, plausible::kCapacityMwh);

    // The ACPI driver reports magnitudes, others (bq27xxx, Qualcomm) signed values: the status
    // decides the sign when it can.
    const auto signedByStatus = [&](double raw) {
        if (r.status == "Discharging") return -std::abs(raw);
        if (r.status == "Charging") return std::abs(raw);
        return raw;
    };
    if (const auto ua = readDouble(dir / "current_now")) {
        r.currentMa = plausible::kBatteryCurrentMa.check(signedByStatus(*ua) / kMicroPerMilli);
    }
    if (const auto uw = readDouble(dir / "power_now")) {
        r.powerMw = plausible::kBatteryPowerMw.check(signedByStatus(*uw) / kMicroPerMilli);
    }
    if (r.voltageMv && *r.voltageMv > 0) {
        // mA × mV = µW, and mW ÷ V = mA. A product out of range says one factor is wrong.
        if (r.currentMa && !r.powerMw) {
            r.powerMw = plausible::kBatteryPowerMw.check(*r.currentMa * *r.voltageMv / kMicroPerMilli);
        }
        if (r.powerMw && !r.currentMa) {
            r.currentMa = plausible::kBatteryCurrentMa.check(*r.powerMw * kMilliPerUnit / *r.voltageMv);
        }
    }
    if (const auto seconds = SysfsFile::readInt(dir / "time_to_empty_now");
        seconds && *seconds > 0 &&
        plausible::kMinutesLeft.contains(static_cast<double>(*seconds / kSecondsPerMinute))) {
        r.timeToEmptySeconds = *seconds;
    }
    r.chargeEndThresholdPct = thresholdPct(dir / "charge_control_end_threshold");
    r.chargeStartThresholdPct = thresholdPct(dir / "charge_control_start_threshold");
    r.chargeBehaviour = chargeBehaviour(dir / "charge_behaviour");
    return r;
}

// A charge a little above full is normal at the end of charging; both inputs are checked, so the
// ratio is finite.
int64_t wholePercent(double fraction) {
    return std::llround(
        std::clamp(fraction * kPercent, plausible::kChargePct.min, plausible::kChargePct.max));
}

// Sums of one figure over all batteries; absent unless every battery reports it.
template <typename Get>
std::optional<double> sumOfAll(const std::vector<BatteryReading>& readings, Get get) {
    double sum = 0;
    for (const auto& r : readings) {
        const std::optional<double> value = get(r);
        if (!value) return std::nullopt;
        sum += *value;
    }
    return sum;
}

// Sums of one figure over the batteries that report it; absent when none does.
template <typename Get>
std::optional<double> sumOfKnown(const std::vector<BatteryReading>& readings, Get get) {
    std::optional<double> sum;
    for (const auto& r : readings) {
        if (const std::optional<double> value = get(r)) sum = sum.value_or(0) + *value;
    }
    return sum;
}

// All system batteries as one, the way the desktop's battery indicator shows them: energies,
// charges, powers and currents add up; the charge in percent is the sum of what is stored over the
// sum of what fits.
void combineBatteries(const std::vector<BatteryReading>& readings, BatteryInfo& info) {
    const bool single = readings.size() == 1;
    const auto any = [&](auto predicate) { return std::any_of(readings.begin(), readings.end(), predicate); };
    info.isCharging = any([](const BatteryReading& r) { return r.status == "Charging"; });

    const auto energyNow = sumOfAll(readings, [](const BatteryReading& r) { return r.energyNowMwh; });
    const auto energyFull = sumOfAll(readings, [](const BatteryReading& r) { return r.energyFullMwh; });
    if (energyNow && energyFull) {
        info.energyNowMwh = *energyNow;
        info.energyFullMwh = *energyFull;
    }
    const auto designMah = sumOfKnown(readings, [](const BatteryReading& r) { return r.designMah; });
    const auto fullMah = sumOfKnown(readings, [](const BatteryReading& r) { return r.fullMah; });
    const auto nowMah = sumOfKnown(readings, [](const BatteryReading& r) { return r.nowMah; });
    if (designMah) info.designCapacityMah = *designMah;
    if (fullMah) info.maxCapacityMah = *fullMah;
    if (nowMah) info.currentCapacityMah = *nowMah;

    if (single) {
        if (readings.front().capacityPct) info.currentCapacityPct = *readings.front().capacityPct;
    } else if (energyNow && energyFull && *energyFull > 0) {
        info.currentCapacityPct = wholePercent(*energyNow / *energyFull);
    } else if (const auto allNow = sumOfAll(readings, [](const BatteryReading& r) { return r.nowMah; }),
               allFull = sumOfAll(readings, [](const BatteryReading& r) { return r.fullMah; });
               allNow && allFull && *allFull > 0) {
        info.currentCapacityPct = wholePercent(*allNow / *allFull);
    } else {
        double sum = 0;
        int count = 0;
        for (const auto& r : readings) {
            if (r.capacityPct) {
                sum += static_cast<double>(*r.capacityPct);
                ++count;
            }
        }
        if (count > 0) info.currentCapacityPct = std::llround(sum / count);
    }

    // Wear and heat: the most worn and the hottest battery speak for the machine.
    const BatteryReading* active = nullptr;
    for (const auto& r : readings) {
        if (r.cycleCount) info.cycleCount = std::max(info.cycleCount, *r.cycleCount);
        if (r.temperatureC && (info.temperatureC == 0 || *r.temperatureC > info.temperatureC)) {
            info.temperatureC = *r.temperatureC;
        }
        // The voltage of the battery doing the work, so that current × voltage stays its power.
        if (r.voltageMv && (!active || std::abs(r.currentMa.value_or(0)) > std::abs(active->currentMa.value_or(0)))) {
            active = &r;
        }
        info.batteries.push_back({r.name, r.capacityPct.value_or(0), r.designMah.value_or(0), r.fullMah.value_or(0),
                                  r.cycleCount.value_or(0), r.temperatureC.value_or(0)});
    }
    if (active) info.voltageMv = *active->voltageMv;
    // The first battery whose driver applies a limit speaks for all: the charge control writes
    // the same value to every one of them.
    for (const auto& r : readings) {
        if (r.chargeEndThresholdPct == 0 && r.chargeBehaviour == BatteryInfo::ChargeBehaviour::none) continue;
        info.chargeEndThresholdPct = r.chargeEndThresholdPct;
        info.chargeStartThresholdPct = r.chargeStartThresholdPct;
        info.chargeBehaviour = r.chargeBehaviour;
        break;
    }
    if (const auto ma = sumOfKnown(readings, [](const BatteryReading& r) { return r.currentMa; })) {
        info.instantAmperageMa = *ma;
    }
    const auto powerMw = sumOfKnown(readings, [](const BatteryReading& r) { return r.powerMw; });
    if (powerMw) info.batteryPowerMw = *powerMw;

    const bool discharging = any([](const BatteryReading& r) { return r.status == "Discharging"; }) ||
                             (!info.isCharging && (info.instantAmperageMa < 0 || info.batteryPowerMw < 0));
    if (!discharging) return;
    // Energy over power, both as the driver reports them, whenever it reports energies: converting
    // either through a voltage would put the other voltage's error into the time.
    if (energyNow && powerMw && *powerMw < 0) {
        info.timeRemainingMin = toMinutes(*energyNow / -*powerMw);
        return;
    }
    if (single && readings.front().timeToEmptySeconds) {
        info.timeRemainingMin = *readings.front().timeToEmptySeconds / kSecondsPerMinute;
        return;
    }
    const auto chargeNow = sumOfAll(readings, [](const BatteryReading& r) { return r.chargeNowMah; });
    if (chargeNow && info.instantAmperageMa < 0) {
        info.timeRemainingMin = toMinutes(*chargeNow / -info.instantAmperageMa);
    }
}

bool isUsbPdActive(const fs::path& dir) {
    // usb_type lists the kinds the port knows and brackets the one in use: "C [PD] PD_PPS".
    const std::string usbType = SysfsFile::readText(dir / "usb_type").value_or("");
    return usbType.find("[PD]") != std::string::npos || usbType.find("[PD_PPS]") != std::string::npos;
}

double adapterWatts(const fs::path& dir) {
    const auto voltageUv = readDouble(dir / "voltage_max");
    const auto currentUa = readDouble(dir / "current_max");
    if (!voltageUv || !currentUa || *voltageUv <= 0 || *currentUa <= 0) return 0;
    const double watts = (*voltageUv / kMicroPerUnit) * (*currentUa / kMicroPerUnit);
    return plausible::kAdapterWatts.contains(watts) ? watts : 0;
}

void readExternalPower(const std::vector<Supply>& supplies, BatteryInfo& info) {
    // With several USB supplies online, a PD contract says most about the charger, then the rating.
    struct Candidate {
        const Supply* supply;
        bool pdActive;
        double watts;
    };
    std::optional<Candidate> adapter;
    for (const auto& supply : supplies) {
        if (!isExternalType(supply.type) || !isOnline(supply.dir)) continue;
        info.isExternalConnected = true;
        // A charger that meters what it delivers (power_now) is the best input figure there is.
        // current_now alone is not used: USB-C port drivers report the negotiated current there.
        if (const auto mw =
                scaled(readDouble(supply.dir / "power_now"), kMicroPerMilli, plausible::kAdapterPowerMw);
            mw && *mw > 0) {
            info.systemPowerInMw += *mw;
        }
        if (!isUsbType(supply.type)) continue;
        const Candidate candidate{&supply, isUsbPdActive(supply.dir), adapterWatts(supply.dir)};
        if (!adapter ||
            std::tie(candidate.pdActive, candidate.watts) > std::tie(adapter->pdActive, adapter->watts)) {
            adapter = candidate;
        }
    }
    if (!adapter) return;
    info.adapterWatts = adapter->watts;
    info.adapterDescription = adapter->supply->name;
    if (adapter->pdActive) {
        info.chargingProtocol = kUsbPdProtocol;
        info.isPdFastCharge = info.adapterWatts >= kPdFastChargeWatts;
    }
}

bool isPortName(const std::string& name) {
    constexpr std::string_view kPrefix = "port";
    return name.size() > kPrefix.size() && name.starts_with(kPrefix) &&
           std::all_of(name.begin() + kPrefix.size(), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

bool pathExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// A port in the source role only feeds something when a partner is attached; the partner shows
// up as portN-partner beside the port in the class directory and as a child of the port.
bool isFeedingAnotherDevice(const fs::path& typecDir) {
    for (const auto& name : SysfsFile::entryNames(typecDir)) {
        if (!isPortName(name)) continue;
        const auto role = SysfsFile::readText(typecDir / name / "power_role");
        if (!role || role->find("[source]") == std::string::npos) continue;
        const std::string partner = name + "-partner";
        if (pathExists(typecDir / partner) || pathExists(typecDir / name / partner) ||
            pathExists(typecDir / name / "partner")) {
            return true;
        }
    }
    return false;
}

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

LinuxBatteryReader::LinuxBatteryReader(std::filesystem::path sysRoot, std::function<double()> clockSeconds)
    : sysRoot_(std::move(sysRoot)),
      clockSeconds_(clockSeconds ? std::move(clockSeconds) : std::function<double()>(steadySeconds)),
      rapl_(sysRoot_ / "class" / "powercap") {}

std::optional<BatteryInfo> LinuxBatteryReader::readQuick() {
    const auto supplies = listSupplies(sysRoot_ / "class" / "power_supply");
    std::vector<BatteryReading> batteries;
    for (const auto& supply : supplies) {
        if (isSystemBattery(supply)) batteries.push_back(readBattery(supply));
    }
    if (batteries.empty()) return std::nullopt;

    BatteryInfo info = BatteryInfo::unknown();
    combineBatteries(batteries, info);
    readExternalPower(supplies, info);
    info.isProvidingPower = isFeedingAnotherDevice(sysRoot_ / "class" / "typec");

    std::lock_guard lock(mutex_);
    fillSystemPowerIn(info);
    return info;
}

void LinuxBatteryReader::fillSystemPowerIn(BatteryInfo& info) {
    // The clock is read under the lock so that overlapping calls see it advance in order.
    const double now = clockSeconds_();
    // Sampled on battery too, so that a baseline is ready the moment the adapter is plugged in.
    const auto platformMw = rapl_.sampleMw(now);
    if (!info.isExternalConnected) {
        if (info.batteryPowerMw < 0) rememberConsumption(-info.batteryPowerMw, now);
        return;
    }
    // A charger's own figure stands; else the platform meter is a measurement too. The consumption
    // remembered from battery is only an estimate and travels as one.
    if (info.systemPowerInMw > 0) return;
    const double chargingMw = std::max(0.0, info.batteryPowerMw);
    if (platformMw) {
        info.systemPowerInMw = *platformMw + chargingMw;
    } else if (estimate_ && now - estimate_->updatedSeconds <= kEstimateMaxAgeSeconds) {
        info.consumptionEstimateMw = estimate_->mw;
    }
}

void LinuxBatteryReader::rememberConsumption(double consumptionMw, double nowSeconds) {
    if (!estimate_ || nowSeconds - estimate_->updatedSeconds > kEstimateMaxAgeSeconds) {
        estimate_ = ConsumptionEstimate{consumptionMw, nowSeconds};
        return;
    }
    // Weighted by elapsed time, so the estimate follows a change equally fast whether the
    // refresh runs every 3 s or every 30 s.
    const double elapsed = std::max(0.0, nowSeconds - estimate_->updatedSeconds);
    const double weight = 1 - std::exp(-elapsed / kSmoothingTimeConstantSeconds);
    estimate_->mw += weight * (consumptionMw - estimate_->mw);
    estimate_->updatedSeconds = std::max(estimate_->updatedSeconds, nowSeconds);
}

}  // namespace joulemap
