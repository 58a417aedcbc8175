#include "HighTempAlert.h"

#include "TextTranslation.h"

#include <cmath>
#include <string>

namespace joulemap {

std::optional<AlertMessage> highTempAlert(const BatteryInfo& battery, bool enabled) {
    const double celsius = battery.temperatureC;
    // A non-finite or impossible reading is a broken sensor, not a hot battery (and could not be
    // turned into whole degrees: the conversion of a value beyond long long is undefined).
    if (!enabled || !std::isfinite(celsius) || celsius < kHighTempThresholdC || celsius > kMaxPlausibleTempC) {
        return std::nullopt;
    }
    // Whole degrees, truncated: 41.9 °C reads "41".
    const auto wholeDegrees = static_cast<long long>(celsius);
    return AlertMessage{
        kHighTempAlertKey,
        JM_TR("Alerts", "⚠️ 电池温度过高"),
        withArgs(JM_TR("Alerts", "电池温度 %1℃，高温会加速电池老化。建议暂停高负载任务让其降温。"),
                 {std::to_string(wholeDegrees)}),
    };
}

}  // namespace joulemap
