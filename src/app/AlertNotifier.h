#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace joulemap {

class NotificationService;

// Posts the battery alerts as desktop notifications, at most one per alert key every ten
// minutes, asking for permission the first time, and logs each one that was posted.
class AlertNotifier : public QObject {
    Q_OBJECT

public:
    static constexpr double kCooldownSeconds = 600.0;

    using Logger =
        std::function<void(const std::string& key, const std::string& title, const std::string& body)>;
    using Clock = std::function<QDateTime()>;

    // The process-wide notifier on the session bus, logging to the history store.
    // Created on first use; lives until the process ends.
    static AlertNotifier& shared();

    // The service is not owned; once it is gone, alerts are dropped.
    AlertNotifier(NotificationService* service, Logger logger, Clock clock, QObject* parent = nullptr);

    // Returns at once; the permission check and the posting happen later on this object's thread.
    void notify(const std::string& key, const std::string& title, const std::string& body);
    // The same for Qt callers; the texts are converted from UTF-16 to UTF-8.
    void notify(const QString& key, const QString& title, const QString& body);

    bool authorizationRequested() const { return authorizationRequested_; }
    std::optional<QDateTime> lastSent(const std::string& key) const;

private:
    void checkAndFire(const std::string& key, const std::string& title, const std::string& body);
    void fire(const std::string& key, const std::string& title, const std::string& body);

    QPointer<NotificationService> service_;
    Logger logger_;
    Clock clock_;
    std::map<std::string, QDateTime> lastSent_;
    bool authorizationRequested_ = false;
};

}  // namespace joulemap
