#pragma once

#include <string>

namespace joulemap {

// A desktop notification the alert checks want shown; the key doubles as the alert-log type
// and the cooldown bucket.
struct AlertMessage {
    std::string key{};
    std::string title{};
    std::string body{};

    bool operator==(const AlertMessage&) const = default;
};

}  // namespace joulemap
