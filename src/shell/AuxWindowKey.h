#pragma once

#include <array>
#include <string_view>

#include "TextTranslation.h"

namespace joulemap {

// The auxiliary windows, each opened by its own window request.
enum class AuxWindowKey { settings, changelog, history };

struct AuxWindowTraits {
    AuxWindowKey key;
    std::string_view name;     // "settings", "changelog", "history"
    std::string_view request;  // the NotificationHub name that opens it
    SourceText title;
    int width;
    int height;
};

const std::array<AuxWindowTraits, 3>& auxWindowTraitsList();
const AuxWindowTraits& auxWindowTraits(AuxWindowKey key);

}  // namespace joulemap
