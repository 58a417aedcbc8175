#include "PrometheusExposition.h"

#include "NumberFormat.h"

#include <cmath>
#include <utility>
#include <vector>

namespace joulemap::PrometheusExposition {

namespace {

constexpr double kMilliwattsPerWatt = 1000.0;
constexpr double kPercentPerRatio = 100.0;

using Labels = std::vector<std::pair<std::string_view, std::string>>;

// Four decimals (a hundredth of a percent) is finer than any battery reports; rounding drops the
// binary remainder of percent arithmetic (90.00000000000001 % reading as 0.9000000000000001).
double ratio(double percent) {
    constexpr double kScale = 10000.0;
    return std::round(percent / kPercentPerRatio * kScale) / kScale;
}

const char* boolText(bool value) { return value ? "true" : "false"; }

// One family: its samples are collected first, so a family whose figures are all unknown is left
// out entirely instead of standing there with a HELP and no value.
class Family {
public:
    Family(std::string_view name, std::string_view type, std::string_view help)
        : name_(name), type_(type), help_(help) {}

    // Non-finite values are not figures anyone measured; they are left out like unknown ones.
    void add(double value, const Labels& labels = {}) {
        if (!std::isfinite(value)) return;
        std::string line(name_);
        if (!labels.empty()) {
            line += '{';
            for (std::size_t i = 0; i < labels.size(); ++i) {
                if (i > 0) line += ',';
                line += labels[i].first;
                line += "=\"";
                line += escapeLabelValue(labels[i].second);
                line += '"';
            }
            line += '}';
        }
        line += ' ';
        // Locale-free: a comma decimal would make the whole file unreadable to the collector.
        line += num(value == 0 ? 0.0 : value);
        lines_.push_back(std::move(line));
    }

    void appendTo(std::string& out) const {
        if (lines_.empty()) return;
        out += "# HELP ";
        out += name_;
        out += ' ';
        out += help_;
        out += "\n# TYPE ";
        out += name_;
        out += ' ';
        out += type_;
        out += '\n';
        for (const std::string& line : lines_) {
            out += line;
            out += '\n';
        }
    }

private:
    std::string_view name_;
    std::string_view type_;
    std::string_view help_;
    std::vector<std::string> lines_;
};

}  // namespace

std::string escapeLabelValue(std::string_view value) {
    std::string escaped;
    escaped.reserve(value.size());
    for (const char c : value) {
        switch (c) {
            case '\\': escaped += "\\\\"; break;
            case '"': escaped += "\\\""; break;
            case '\n': escaped += "\\n"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

std::string render(const Snapshot& snapshot) {
    const JoulemapData& flow = snapshot.flow;

    Family input("joulemap_input_power_watts", "gauge",
                 "Power the source delivers (adapter, battery or mains); measured=\"false\" when it is an estimate.");
    // The bands carry one decimal each; rounding their sums drops only the binary remainder
    // (9.100000000000001), so the figure reads as the one the window shows.
    input.add(round1(flow.totalPower()), {{"measured", boolText(flow.inputMeasured)}});

    Family system("joulemap_system_power_watts", "gauge",
                  "Power the machine itself consumes: the input less what charges the battery.");
    system.add(round1(flow.consumedPower()));

    Family component("joulemap_component_power_watts", "gauge",
                     "Power of a hardware component; measured=\"false\" when it is a share by fixed proportions.");
    Family app("joulemap_app_power_watts", "gauge", "Power attributed to an application by its processor time.");
    for (const PowerDestination& d : flow.destinations) {
        if (d.group == PowerGroup::hardware) {
            component.add(d.power, {{"component", d.id}, {"measured", boolText(!d.estimated)}});
        } else if (d.group == PowerGroup::app) {
            app.add(d.power, {{"app", d.name}});
        }
    }

    Family energy("joulemap_app_energy_wh_total", "counter",
                  "Energy attributed to an application since Joulemap started, in watt-hours; app=\"系统\" is the hardware's own share.");
    for (const auto& [name, wh] : snapshot.appEnergyWh) energy.add(wh, {{"app", name}});

    Family batteryPower("joulemap_battery_power_watts", "gauge",
                        "Power into the battery (positive while charging, negative while it discharges).");
    Family charge("joulemap_battery_charge_ratio", "gauge", "State of charge, 0 to 1.");
    Family health("joulemap_battery_health_ratio", "gauge", "Full-charge capacity against the design capacity.");
    // Not "_count": that suffix belongs to histograms and summaries, and the linter refuses it here.
    Family cycles("joulemap_battery_cycles", "gauge", "Charge cycles so far.");
    if (const auto& b = snapshot.battery) {
        batteryPower.add(b->batteryPowerMw / kMilliwattsPerWatt);
        if (b->currentCapacityPct) charge.add(ratio(static_cast<double>(*b->currentCapacityPct)));
        if (b->isHealthKnown()) health.add(ratio(b->stateOfHealth()));
        // 0 is what a driver without a cycle counter leaves: unknown, not a new battery.
        if (b->cycleCount > 0) cycles.add(static_cast<double>(b->cycleCount));
    }

    Family limit("joulemap_charge_limit_ratio", "gauge", "Charge level the battery stops charging at, 0 to 1.");
    // An end threshold of 100 charges fully: no limit.
    constexpr int kFullPct = 100;
    std::optional<int> limitPct = snapshot.chargeLimitPct;
    if (!limitPct && snapshot.battery) limitPct = snapshot.battery->chargeEndThresholdPct;
    if (limitPct && *limitPct > 0 && *limitPct < kFullPct) limit.add(ratio(*limitPct));

    std::string out;
    for (const Family* family :
         {&input, &system, &batteryPower, &charge, &health, &cycles, &limit, &component, &app, &energy}) {
        family->appendTo(out);
    }
    return out;
}

}  // namespace joulemap::PrometheusExposition
