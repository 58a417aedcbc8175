#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "UpdateInfo.h"
#include "UpdateProgress.h"

namespace joulemap {

// What the panel's update notice shows for an offer and the state of its update.
struct UpdateNotice {
    enum class StatusTone { secondary, success, failure };
    enum class Action { none, update, download, restart };

    std::string title;   // "发现新版本 v" + version
    std::string status;  // empty: no status line
    StatusTone statusTone = StatusTone::secondary;
    Action action = Action::none;
    std::string buttonText;
    std::string_view buttonColor;  // an accent, "#rrggbb"

    bool operator==(const UpdateNotice&) const = default;
};

// None without an offer. `oneClickOffered` is false when the running program is not the copy the
// updater would replace (a package under /usr, a build tree): the idle notice then offers the
// manual download instead, so a second copy never shadows the packaged one.
std::optional<UpdateNotice> updateNotice(const std::optional<UpdateInfo>& available, const UpdateProgress& progress,
                                         bool oneClickOffered);

}  // namespace joulemap
