#include "PowerGroup.h"

#include "TextTranslation.h"

namespace joulemap {

std::string rawValue(PowerGroup group) {
    switch (group) {
        case PowerGroup::hardware:
            return "硬件";
        case PowerGroup::app:
            return "应用";
        case PowerGroup::battery:
            return "电池";
    }
    return {};
}

std::string groupName(PowerGroup group) {
    switch (group) {
        case PowerGroup::hardware:
            return JM_TR("PowerGroup", "硬件");
        case PowerGroup::app:
            return JM_TR("PowerGroup", "应用");
        case PowerGroup::battery:
            return JM_TR("PowerGroup", "电池");
    }
    return {};
}

std::string groupIcon(PowerGroup group) {
    switch (group) {
        case PowerGroup::hardware:
            return "\u2699\uFE0F";
        case PowerGroup::app:
            return "\U0001F7E6";
        case PowerGroup::battery:
            return "\U0001F50B";
    }
    return {};
}

std::string groupColor(PowerGroup group) {
    switch (group) {
        case PowerGroup::hardware:
            return "#64d2ff";
        case PowerGroup::app:
            return "#0a84ff";
        case PowerGroup::battery:
            return "#ffd60a";
    }
    return {};
}

std::optional<PowerGroup> powerGroupFromRaw(std::string_view raw) {
    for (const PowerGroup group : kAllPowerGroups) {
        if (rawValue(group) == raw) {
            return group;
        }
    }
    return std::nullopt;
}

}  // namespace joulemap
