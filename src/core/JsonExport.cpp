#include "JsonExport.h"

namespace joulemap {

std::string healthStatusName(BatteryInfo::HealthStatus status) {
    switch (status) {
        case BatteryInfo::HealthStatus::good:
            return "good";
        case BatteryInfo::HealthStatus::fair:
            return "fair";
        case BatteryInfo::HealthStatus::replace:
            return "replace";
    }
    return {};
}

nlohmann::ordered_json toJson(const BatteryInfo& b) {
    // An ordered object keeps the record's field order, which is how people read it.
    nlohmann::ordered_json out;
    out["cycleCount"] = b.cycleCount;
    out["designCapacityMah"] = b.designCapacityMah;
    out["maxCapacityMah"] = b.maxCapacityMah;
    out["currentCapacityMah"] = b.currentCapacityMah;
    out["designCycleCount"] = b.designCycleCount;
    out["systemHealthPct"] = b.systemHealthPct;
    out["voltageMv"] = b.voltageMv;
    out["instantAmperageMa"] = b.instantAmperageMa;
    out["isCharging"] = b.isCharging;
    out["isExternalConnected"] = b.isExternalConnected;
    // null when unknown, never a made-up 0.
    out["currentCapacityPct"] = b.currentCapacityPct ? nlohmann::ordered_json(*b.currentCapacityPct)
                                                     : nlohmann::ordered_json(nullptr);
    out["temperatureC"] = b.temperatureC;
    out["adapterWatts"] = b.adapterWatts;
    out["timeRemainingMin"] = b.timeRemainingMin;
    out["systemPowerInMw"] = b.systemPowerInMw;
    out["batteryPowerMw"] = b.batteryPowerMw;
    out["systemLoadMw"] = b.systemLoadMw;
    out["adapterDescription"] = b.adapterDescription;
    out["chargingProtocol"] = b.chargingProtocol;
    out["isPdFastCharge"] = b.isPdFastCharge;
    out["isProvidingPower"] = b.isProvidingPower;
    out["energyNowMwh"] = b.energyNowMwh;
    out["energyFullMwh"] = b.energyFullMwh;
    out["consumptionEstimateMw"] = b.consumptionEstimateMw;
    nlohmann::ordered_json batteries = nlohmann::ordered_json::array();
    for (const SystemBattery& unit : b.batteries) {
        nlohmann::ordered_json one;
        one["name"] = unit.name;
        one["currentCapacityPct"] = unit.currentCapacityPct;
        one["designCapacityMah"] = unit.designCapacityMah;
        one["maxCapacityMah"] = unit.maxCapacityMah;
        one["cycleCount"] = unit.cycleCount;
        one["temperatureC"] = unit.temperatureC;
        batteries.push_back(std::move(one));
    }
    out["batteries"] = std::move(batteries);
    nlohmann::ordered_json derived;
    derived["isPluggedIn"] = b.isPluggedIn();
    derived["instantPowerWatts"] = b.instantPowerWatts();
    derived["inputPowerWatts"] = b.inputPowerWatts();
    derived["isInputMeasured"] = b.isInputMeasured();
    derived["systemConsumedWatts"] = b.systemConsumedWatts();
    derived["stateOfHealth"] = b.stateOfHealth();
    derived["isHealthKnown"] = b.isHealthKnown();
    derived["healthStatus"] = b.isHealthKnown() ? nlohmann::ordered_json(healthStatusName(b.healthStatus()))
                                                : nlohmann::ordered_json(nullptr);
    out["derived"] = std::move(derived);
    return out;
}

nlohmann::ordered_json toJson(const MeasuredPower& measured) {
    // Absent figures stay null: the machine cannot measure them, which is not 0 W.
    const auto watts = [](const std::optional<double>& value) {
        return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
    };
    nlohmann::ordered_json out;
    out["packageWatts"] = watts(measured.packageWatts);
    out["coreWatts"] = watts(measured.coreWatts);
    out["uncoreWatts"] = watts(measured.uncoreWatts);
    out["dramWatts"] = watts(measured.dramWatts);
    out["platformWatts"] = watts(measured.platformWatts);
    out["gpuWatts"] = watts(measured.gpuWatts);
    return out;
}

nlohmann::ordered_json toJson(const AppShare& share) {
    nlohmann::ordered_json out;
    out["name"] = share.name;
    out["bundleId"] =
        share.bundleId ? nlohmann::ordered_json(*share.bundleId) : nlohmann::ordered_json(nullptr);
    out["fraction"] = share.fraction;
    out["corePercent"] = share.corePercent;
    return out;
}

nlohmann::ordered_json toJson(const std::vector<AppShare>& shares) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const AppShare& share : shares) {
        out.push_back(toJson(share));
    }
    return out;
}

nlohmann::ordered_json toJson(const PowerDestination& d) {
    nlohmann::ordered_json out;
    out["id"] = d.id;
    out["name"] = d.name;
    out["icon"] = d.icon;
    out["color"] = d.color;
    out["group"] = rawValue(d.group);
    out["power"] = d.power;
    out["estimated"] = d.estimated;
    return out;
}

nlohmann::ordered_json toJson(const JoulemapData& data) {
    nlohmann::ordered_json out;
    out["inputName"] = data.inputName;
    out["inputSub"] = data.inputSub;
    out["inputColor"] = data.inputColor;
    out["inputIcon"] = data.inputIcon;
    nlohmann::ordered_json destinations = nlohmann::ordered_json::array();
    for (const PowerDestination& d : data.destinations) {
        destinations.push_back(toJson(d));
    }
    out["destinations"] = std::move(destinations);
    out["totalPower"] = data.totalPower();
    out["isCharging"] = data.isCharging();
    return out;
}

}  // namespace joulemap
