#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace joulemap {

// The desktop's notification facility as the alert notifier sees it. Every answer comes back
// later on the thread that asked, so the main thread never waits for the desktop.
class NotificationService : public QObject {
    Q_OBJECT

public:
    enum class AuthorizationStatus { notDetermined, denied, authorized, provisional, ephemeral };
    Q_ENUM(AuthorizationStatus)

    using StatusHandler = std::function<void(AuthorizationStatus status)>;
    using GrantHandler = std::function<void(bool granted)>;

    explicit NotificationService(QObject* parent = nullptr);
    ~NotificationService() override;

    // Whether the user currently lets us show notifications.
    virtual void readAuthorizationStatus(StatusHandler done) = 0;
    // Asks for permission to show alerts with sound; a failed request counts as not granted.
    virtual void requestAuthorization(GrantHandler done) = 0;
    // Shows a notification at once; whether it was shown is not reported.
    virtual void addRequest(const QString& identifier, const QString& title, const QString& body,
                            bool withSound) = 0;
};

}  // namespace joulemap
