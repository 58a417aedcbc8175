#include "PrometheusExposition.h"

#include <cmath>
#include <sstream>

#include "TestSupport.h"

using namespace joulemap;
using PrometheusExposition::render;
using PrometheusExposition::Snapshot;

namespace {

PowerDestination band(std::string id, std::string name, PowerGroup group, double watts, bool estimated = false) {
    return {id, name, "", "#000000", group, watts, estimated};
}

// A notebook on battery: 9.1 W out, a metered processor, two applications and the rest.
Snapshot discharging() {
    return {.battery = BatteryInfo{.cycleCount = 112,
                                   .designCapacityMah = 5000,
                                   .maxCapacityMah = 4500,
                                   .currentCapacityPct = 73,
                                   .batteryPowerMw = -9120},
            .flow = {.destinations = {band("cpu", "CPU/系统", PowerGroup::hardware, 3.2),
                                      band("display", "显示屏", PowerGroup::hardware, 2.5, true),
                                      band("gpu", "GPU", PowerGroup::hardware, 1.0, true),
                                      band("微信", "微信", PowerGroup::app, 1.5),
                                      band("other", "其他应用", PowerGroup::app, 0.9)}},
            .appEnergyWh = {{"微信", 0.25}, {"系统", 1.5}},
            .chargeLimitPct = std::nullopt};
}

// The value of the sample line that starts with `series` (name and labels exactly), if there is one.
std::optional<std::string> sample(const std::string& text, const std::string& series) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(series + " ", 0) == 0) return line.substr(series.size() + 1);
    }
    return std::nullopt;
}

bool mentions(const std::string& text, const std::string& name) { return text.find(name) != std::string::npos; }

}  // namespace

TEST(PrometheusExposition, LabelValuesEscapeWhatTheFormatReserves) {
    const std::vector<std::pair<std::string, std::string>> cases{{"Firefox", "Firefox"},
                                                                 {"微信 ✉", "微信 ✉"},
                                                                 {R"(say "hi")", R"(say \"hi\")"},
                                                                 {R"(C:\apps)", R"(C:\\apps)"},
                                                                 {"two\nlines", R"(two\nlines)"},
                                                                 {"\\\"\n", R"(\\\"\n)"},
                                                                 {"", ""}};
    for (const auto& [raw, escaped] : cases) EXPECT_EQ(PrometheusExposition::escapeLabelValue(raw), escaped) << raw;
}

TEST(PrometheusExposition, FiguresWithTheirLabelsAndTypes) {
    Snapshot s = discharging();
    s.battery->chargeEndThresholdPct = 80;  // the driver's limit
    const std::string text = render(s);
    const std::vector<std::pair<std::string, std::string>> expected{
        {R"(joulemap_input_power_watts{measured="true"})", "9.1"},
        {"joulemap_system_power_watts", "9.1"},
        {"joulemap_battery_power_watts", "-9.12"},
        {"joulemap_battery_charge_ratio", "0.73"},
        {"joulemap_battery_health_ratio", "0.9"},
        {"joulemap_battery_cycles", "112.0"},
        {"joulemap_charge_limit_ratio", "0.8"},
        {R"(joulemap_component_power_watts{component="cpu",measured="true"})", "3.2"},
        {R"(joulemap_component_power_watts{component="display",measured="false"})", "2.5"},
        {R"(joulemap_app_power_watts{app="微信"})", "1.5"},
        {R"(joulemap_app_power_watts{app="其他应用"})", "0.9"},
        {R"(joulemap_app_energy_wh_total{app="系统"})", "1.5"},
        {R"(joulemap_app_energy_wh_total{app="微信"})", "0.25"}};
    for (const auto& [series, value] : expected) EXPECT_EQ(sample(text, series), value) << series << "\n" << text;
    EXPECT_TRUE(mentions(text, "# TYPE joulemap_app_energy_wh_total counter\n"));
    EXPECT_TRUE(mentions(text, "# TYPE joulemap_battery_power_watts gauge\n"));
    EXPECT_EQ(text.back(), '\n');

    s.flow.inputMeasured = false;
    s.flow.destinations.push_back(band("battery", "电池充电", PowerGroup::battery, 2.0));
    const std::string charging = render(s);
    EXPECT_EQ(sample(charging, R"(joulemap_input_power_watts{measured="false"})"), "11.1");
    EXPECT_EQ(sample(charging, "joulemap_system_power_watts"), "9.1");
    EXPECT_FALSE(mentions(charging, R"(app="电池充电")"));
}

TEST(PrometheusExposition, UnknownFiguresAreLeftOutNotZero) {
    const auto without = [](auto change) {
        Snapshot s = discharging();
        change(s);
        return render(s);
    };
    const std::vector<std::pair<std::string, std::string>> cases{
        {without([](Snapshot& s) { s.battery.reset(); }), "joulemap_battery_"},
        {without([](Snapshot& s) { s.battery->currentCapacityPct.reset(); }), "joulemap_battery_charge_ratio"},
        {without([](Snapshot& s) { s.battery->designCapacityMah = 0; }), "joulemap_battery_health_ratio"},
        {without([](Snapshot& s) { s.battery->cycleCount = 0; }), "joulemap_battery_cycles"},
        {without([](Snapshot& s) { s.battery->chargeEndThresholdPct = 100; }), "joulemap_charge_limit_ratio"},
        {without([](Snapshot& s) { s.appEnergyWh.clear(); }), "joulemap_app_energy_wh_total"},
        {without([](Snapshot& s) { s.flow.destinations.resize(3); }), "joulemap_app_power_watts"},
        {without([](Snapshot& s) { s.flow.destinations[0].power = std::nan(""); }), R"(component="cpu")"}};
    for (const auto& [text, absent] : cases) {
        EXPECT_FALSE(mentions(text, absent)) << absent << "\n" << text;
        EXPECT_TRUE(mentions(text, "# TYPE ")) << absent;  // the rest is still there
    }
}

// A Qt application sets the process locale from the environment; a comma decimal would make the
// collector reject the whole file.
TEST(PrometheusExposition, NumbersUseADotWhateverTheLocale) {
    std::string text;
    if (!underCommaLocale([&] { text = render(discharging()); })) GTEST_SKIP() << "no de_DE.UTF-8";
    EXPECT_EQ(sample(text, "joulemap_battery_charge_ratio"), "0.73");
    EXPECT_EQ(sample(text, "joulemap_battery_power_watts"), "-9.12");
}

// Prometheus' own parser and linter on a file with every family and awkward label values.
TEST(PrometheusExposition, PromtoolAcceptsTheFile) {
    if (std::system("command -v promtool >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "promtool is not installed (Debian package prometheus, in tools/dev.sh)";
    }
    Snapshot s = discharging();
    s.chargeLimitPct = 80;
    s.flow.destinations.push_back(band("x", "say \"hi\"\\\nnow", PowerGroup::app, 0.3));
    s.appEnergyWh["say \"hi\"\\\nnow"] = 1e-6;
    const TempDir dir("promtool");
    std::ofstream(dir.path() / "joulemap.prom") << render(s);
    const std::string output = (dir.path() / "output.txt").string();
    const int status = std::system(
        ("promtool check metrics < '" + (dir.path() / "joulemap.prom").string() + "' > '" + output + "' 2>&1").c_str());
    EXPECT_EQ(status, 0) << readFile(output);
}
