#include "AuxWindowKey.h"

#include "NotificationHub.h"

namespace joulemap {

const std::array<AuxWindowTraits, 3>& auxWindowTraitsList() {
    static const std::array<AuxWindowTraits, 3> specs{{
        {AuxWindowKey::settings, "settings", NotificationHub::kShowSettingsWindow, JM_TR_NOOP("AuxWindowKey", "设置"), 440, 680},
        {AuxWindowKey::changelog, "changelog", NotificationHub::kShowChangelogWindow, JM_TR_NOOP("AuxWindowKey", "更新日志"), 560, 620},
        {AuxWindowKey::history, "history", NotificationHub::kShowHistoryWindow, JM_TR_NOOP("AuxWindowKey", "功率历史"), 720, 560},
    }};
    return specs;
}

const AuxWindowTraits& auxWindowTraits(AuxWindowKey key) { return auxWindowTraitsList().at(static_cast<std::size_t>(key)); }

}  // namespace joulemap
