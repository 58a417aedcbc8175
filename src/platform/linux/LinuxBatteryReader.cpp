#include "LinuxBatteryReader.h"

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

// sysfs reports µV, µA, µW, µAh and µWh.
constexpr double kMicroPerMilli = 1000;
constexpr double kMicroPerUnit = 1'000'000;
constexpr double kMilliPerUnit = 1000;
constexpr double kTenthsPerDegree = 10;
constexpr int64_t kSecondsPerMinute = 60;
constexpr double kMinutesPerHour = 60;
// Some firmware fills unknown design voltages with 0 or a token value; a real cell is above 1 V.
constexpr double kMinDesignVoltageUv = 1'000'000;
// A near-zero drain rate gives an absurd time; no battery lasts a year, and the cap keeps the
// conversion to an integer defined.
constexpr double kMaxMinutesToEmpty = 365.0 * 24 * 60;
constexpr double kPdFastChargeWatts = 18;
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

int64_t toMinutes(double hours) {
    return static_cast<int64_t>(std::min(hours * kMinutesPerHour, kMaxMinutesToEmpty));
}

void readBattery(const fs::path& dir, BatteryInfo& info) {
    const std::string status = SysfsFile::readText(dir / "status").value_or("");
    info.isCharging = status == "Charging";

    if (const auto pct = SysfsFile::readInt(dir / "capacity")) info.currentCapacityPct = *pct;
    if (const auto cycles = SysfsFile::readInt(dir / "cycle_count")) info.cycleCount = *cycles;
    const auto voltageUv = readDouble(dir / "voltage_now");
    if (voltageUv) info.voltageMv = *voltageUv / kMicroPerMilli;
    if (const auto tenths = readDouble(dir / "temp")) info.temperatureC = *tenths / kTenthsPerDegree;

    // Energy-reporting batteries (most ACPI laptops) give µWh; mAh needs a voltage, and the
    // design voltage keeps the capacities steady while the cell voltage sags.
    std::optional<double> designVoltageUv;
    for (const auto& candidate :
         {readDouble(dir / "voltage_max_design"), readDouble(dir / "voltage_min_design"), voltageUv}) {
        if (candidate && *candidate > kMinDesignVoltageUv) {
            designVoltageUv = candidate;
            break;
        }
    }
    const auto capacityMah = [&](const char* chargeFile, const char* energyFile) -> std::optional<double> {
        if (const auto uah = readDouble(dir / chargeFile)) return *uah / kMicroPerMilli;
        const auto uwh = readDouble(dir / energyFile);
        if (uwh && designVoltageUv) return *uwh * kMilliPerUnit / *designVoltageUv;
        return std::nullopt;
    };
    if (const auto mah = capacityMah("charge_full_design", "energy_full_design"))
        info.designCapacityMah = *mah;
    if (const auto mah = capacityMah("charge_full", "energy_full")) info.maxCapacityMah = *mah;
    if (const auto mah = capacityMah("charge_now", "energy_now")) info.currentCapacityMah = *mah;

    // The ACPI driver reports magnitudes, others (bq27xxx, Qualcomm) signed values: the status
    // decides the sign when it can.
    const auto signedByStatus = [&](double raw) {
        if (status == "Discharging") return -std::abs(raw);
        if (status == "Charging") return std::abs(raw);
        return raw;
    };
    const auto rawPowerUw = readDouble(dir / "power_now");
    std::optional<double> currentMa, powerMw;
    if (const auto ua = readDouble(dir / "current_now")) currentMa = signedByStatus(*ua) / kMicroPerMilli;
    if (rawPowerUw) powerMw = signedByStatus(*rawPowerUw) / kMicroPerMilli;
    if (info.voltageMv > 0) {
        // mA × mV = µW, and mW ÷ V = mA.
        if (currentMa && !powerMw) powerMw = *currentMa * info.voltageMv / kMicroPerMilli;
        if (powerMw && !currentMa) currentMa = *powerMw * kMilliPerUnit / info.voltageMv;
    }
    if (currentMa) info.instantAmperageMa = *currentMa;
    if (powerMw) info.batteryPowerMw = *powerMw;

    const bool discharging =
        status == "Discharging" ||
        (status != "Charging" && (info.instantAmperageMa < 0 || info.batteryPowerMw < 0));
    if (!discharging) return;
    if (const auto seconds = SysfsFile::readInt(dir / "time_to_empty_now"); seconds && *seconds > 0) {
        info.timeRemainingMin = *seconds / kSecondsPerMinute;
        return;
    }
    // The ACPI driver gives no time estimate: divide what is left by the rate it drains, in the
    // units the driver reports both in.
    const auto energyUwh = readDouble(dir / "energy_now");
    if (energyUwh && rawPowerUw && *rawPowerUw != 0) {
        info.timeRemainingMin = toMinutes(*energyUwh / std::abs(*rawPowerUw));
    } else if (info.currentCapacityMah > 0 && info.instantAmperageMa != 0) {
        info.timeRemainingMin = toMinutes(info.currentCapacityMah / std::abs(info.instantAmperageMa));
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
    return (*voltageUv / kMicroPerUnit) * (*currentUa / kMicroPerUnit);
}

void readExternalPower(const std::vector<Supply>& supplies, const Supply& battery, BatteryInfo& info) {
    // With several USB supplies online, a PD contract says most about the charger, then the rating.
    struct Candidate {
        const Supply* supply;
        bool pdActive;
        double watts;
    };
    std::optional<Candidate> adapter;
    for (const auto& supply : supplies) {
        if (&supply == &battery || !isExternalType(supply.type) || !isOnline(supply.dir)) continue;
        info.isExternalConnected = true;
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
    const auto battery = std::find_if(supplies.begin(), supplies.end(), isSystemBattery);
    if (battery == supplies.end()) return std::nullopt;

    BatteryInfo info = BatteryInfo::unknown();
    readBattery(battery->dir, info);
    readExternalPower(supplies, *battery, info);
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
    const double chargingMw = std::max(0.0, info.batteryPowerMw);
    if (platformMw) {
        info.systemPowerInMw = *platformMw + chargingMw;
    } else if (estimate_ && now - estimate_->updatedSeconds <= kEstimateMaxAgeSeconds) {
        info.systemPowerInMw = estimate_->mw + chargingMw;
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
