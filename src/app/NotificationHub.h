#pragma once

#include <QMetaObject>
#include <QObject>
#include <QString>

#include <functional>

namespace joulemap {

// The process-wide publish/subscribe point for window requests: the main window posts a name,
// whoever owns the windows listens, and neither knows the other. Delivery is synchronous and on
// the main thread, so a subscriber runs before post() returns.
class NotificationHub : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kShowHistoryWindow = "JMShowHistoryWindow";
    static constexpr const char* kShowChangelogWindow = "JMShowChangelogWindow";
    static constexpr const char* kShowSettingsWindow = "JMShowSettingsWindow";

    // Created on first use, from the main thread.
    static NotificationHub& instance();

    void post(const QString& name);

    // Calls `callback` for every post of `name` until `context` is destroyed (or the returned
    // connection is disconnected).
    QMetaObject::Connection subscribe(const QString& name, QObject* context, std::function<void()> callback);

signals:
    void posted(const QString& name);

private:
    using QObject::QObject;
};

}  // namespace joulemap
