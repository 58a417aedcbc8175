#pragma once

#include "BatteryInfo.h"

#include <string>

namespace joulemap {

// The tray item's text: "⚡" on a machine without a battery, "⚡85%" while charging, "85%"
// otherwise. It never shows watts: the tray is glanced at, the panel is read.
std::string menuBarTitle(const BatteryInfo& battery, bool hasBattery);

}  // namespace joulemap
