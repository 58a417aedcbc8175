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
    out["currentCapacityPct"] = b.currentCapacityPct;
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
    nlohmann::ordered_json derived;
    derived["isPluggedIn"] = b.isPluggedIn();
    derived["instantPowerWatts"] = b.instantPowerWatts();
    derived["inputPowerWatts"] = b.inputPowerWatts();
    derived["systemConsumedWatts"] = b.systemConsumedWatts();
    derived["stateOfHealth"] = b.stateOfHealth();
    derived["healthStatus"] = healthStatusName(b.healthStatus());
    out["derived"] = std::move(derived);
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
