#include "FreedesktopNotificationService.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QMetaObject>
#include <QStringList>
#include <QVariantMap>

#include <utility>

namespace joulemap {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

const QString kAppName = QStringLiteral("Joulemap");
// The desktop's usual sound for an incoming message stands in for a default alert sound.
const QString kSoundName = QStringLiteral("message-new-instant");
// The protocol has no request identifier; a vendor hint keeps ours with the notification.
const QString kIdentifierHint = QStringLiteral("x-joulemap-id");

constexpr uint kNewNotification = 0;      // replaces_id: do not replace an earlier one
constexpr int kServerDefaultExpiry = -1;  // expire_timeout: let the server decide

}  // namespace

FreedesktopNotificationService::FreedesktopNotificationService(QDBusConnection bus, QObject* parent)
    : NotificationService(parent), bus_(std::move(bus)) {}

void FreedesktopNotificationService::readAuthorizationStatus(StatusHandler done) {
    if (status_ == AuthorizationStatus::notDetermined) {
        // Answered later like every other status read, so callers see one behaviour.
        QMetaObject::invokeMethod(
            this, [done = std::move(done)] { done(AuthorizationStatus::notDetermined); },
            Qt::QueuedConnection);
        return;
    }
    askServer([this, done = std::move(done)](bool) { done(status_); });
}

void FreedesktopNotificationService::requestAuthorization(GrantHandler done) { askServer(std::move(done)); }

void FreedesktopNotificationService::askServer(std::function<void(bool answered)> done) {
    const QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetServerInformation"));
    // Also finishes (with an error) when there is no bus at all, once control is back in the loop.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kServerTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, done = std::move(done)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const bool answered = !finished->isError();
                status_ = answered ? AuthorizationStatus::authorized : AuthorizationStatus::denied;
                done(answered);
            });
}

void FreedesktopNotificationService::addRequest(const QString& identifier, const QString& title,
                                                const QString& body, bool withSound) {
    QVariantMap hints{{kIdentifierHint, identifier}};
    if (withSound) {
        hints.insert(QStringLiteral("sound-name"), kSoundName);
        hints.insert(QStringLiteral("suppress-sound"), false);
    } else {
        hints.insert(QStringLiteral("suppress-sound"), true);
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << kAppName << kNewNotification << QString() << title << body << QStringList() << hints
         << kServerDefaultExpiry;
    // The reply (the server's notification id) is of no use to us.
    bus_.send(call);
}

}  // namespace joulemap
