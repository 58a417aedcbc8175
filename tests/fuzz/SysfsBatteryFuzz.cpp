// Attribute values of a battery and a USB-C charger, one per line in the order below, read by the
// sysfs battery reader from a scratch tree and shown on the health page.
#include "BatteryHealthModel.h"
#include "FuzzInput.h"
#include "linux/LinuxBatteryReader.h"
#include "linux/SysfsFile.h"

#include <array>

namespace {

constexpr std::array<const char*, 22> kAttributes{
    "BAT0/status",       "BAT0/capacity",           "BAT0/cycle_count",        "BAT0/voltage_now",
    "BAT0/temp",         "BAT0/voltage_min_design", "BAT0/voltage_max_design", "BAT0/energy_full_design",
    "BAT0/energy_full",  "BAT0/energy_now",         "BAT0/charge_full_design", "BAT0/charge_full",
    "BAT0/charge_now",   "BAT0/power_now",          "BAT0/current_now",        "BAT0/time_to_empty_now",
    "USB0/online",       "USB0/usb_type",           "USB0/voltage_now",        "USB0/current_now",
    "USB0/voltage_max",  "USB0/current_max"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace joulemap;
    static const fuzz::ScratchTree sys;
    [[maybe_unused]] static const bool typed = (sys.write("class/power_supply/BAT0/type", "Battery\n"),
                                                sys.write("class/power_supply/USB0/type", "USB\n"), true);
    const auto values = fuzz::splitParts(fuzz::asText(data, size), '\n');
    for (size_t i = 0; i < kAttributes.size(); ++i) {
        const auto file = std::string("class/power_supply/") + kAttributes[i];
        if (i >= values.size()) {
            sys.remove(file);
            continue;
        }
        sys.write(file, values[i]);
        (void)SysfsFile::parseInt(values[i]);
    }
    if (const auto battery = LinuxBatteryReader(sys.root(), [] { return 0.0; }).readQuick())
        (void)BatteryHealthModel::metricRows(*battery);
    return 0;
}
