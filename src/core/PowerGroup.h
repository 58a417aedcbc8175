#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace joulemap {

enum class PowerGroup { hardware, app, battery };

inline constexpr std::array<PowerGroup, 3> kAllPowerGroups{PowerGroup::hardware, PowerGroup::app,
                                                           PowerGroup::battery};

std::string rawValue(PowerGroup group);  // also the group's id: "硬件", "应用", "电池"
// The name the user reads, in the language in use.
std::string groupName(PowerGroup group);
std::string groupIcon(PowerGroup group);
std::string groupColor(PowerGroup group);
std::optional<PowerGroup> powerGroupFromRaw(std::string_view raw);

}  // namespace joulemap
