#include "NotificationHub.h"

namespace joulemap {

NotificationHub& NotificationHub::instance() {
    // Created on first use by the main thread, which then owns it.
    static NotificationHub hub;
    return hub;
}

void NotificationHub::post(const QString& name) { emit posted(name); }

QMetaObject::Connection NotificationHub::subscribe(const QString& name, QObject* context,
                                                   std::function<void()> callback) {
    return connect(this, &NotificationHub::posted, context,
                   [name, callback = std::move(callback)](const QString& postedName) {
                       if (postedName == name) callback();
                   });
}

}  // namespace joulemap
