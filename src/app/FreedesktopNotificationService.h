#pragma once

#include "NotificationService.h"

#include <QDBusConnection>

#include <functional>

namespace joulemap {

// Notifications through the desktop's notification server (org.freedesktop.Notifications).
// That protocol has no permission of its own: a server that answers is taken as consent, and
// no server means nothing can be shown, which we treat as a refusal.
class FreedesktopNotificationService final : public NotificationService {
    Q_OBJECT

public:
    // A server that hangs must not keep the permission request open forever.
    static constexpr int kServerTimeoutMs = 5000;

    explicit FreedesktopNotificationService(QDBusConnection bus = QDBusConnection::sessionBus(),
                                            QObject* parent = nullptr);

    // Not determined until the first request has been answered; after that every read asks the
    // bus again, so a notification server started after us is found on the next alert.
    void readAuthorizationStatus(StatusHandler done) override;
    void requestAuthorization(GrantHandler done) override;
    void addRequest(const QString& identifier, const QString& title, const QString& body,
                    bool withSound) override;

    // The last answer, without asking the bus.
    AuthorizationStatus knownStatus() const { return status_; }

private:
    void askServer(std::function<void(bool answered)> done);

    QDBusConnection bus_;
    AuthorizationStatus status_ = AuthorizationStatus::notDetermined;
};

}  // namespace joulemap
