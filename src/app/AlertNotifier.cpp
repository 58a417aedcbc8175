#include "AlertNotifier.h"

#include "FreedesktopNotificationService.h"
#include "HistoryStore.h"
#include "NotificationService.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QUuid>

#include <utility>

namespace joulemap {

namespace {

using Status = NotificationService::AuthorizationStatus;

QString toQString(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

AlertNotifier& AlertNotifier::shared() {
    static AlertNotifier* const instance = [] {
        auto* service = new FreedesktopNotificationService(QDBusConnection::sessionBus());
        auto* notifier = new AlertNotifier(
            service,
            [](const std::string& key, const std::string& title, const std::string& body) {
                HistoryStore::shared().insertAlert(key, title, body);
            },
            [] { return QDateTime::currentDateTimeUtc(); });
        service->setParent(notifier);
        // Its queued work and D-Bus answers must run on the main thread, whoever asked first.
        if (auto* app = QCoreApplication::instance(); app && notifier->thread() != app->thread()) {
            notifier->moveToThread(app->thread());
        }
        return notifier;
    }();
    return *instance;
}

AlertNotifier::AlertNotifier(NotificationService* service, Logger logger, Clock clock, QObject* parent)
    : QObject(parent), service_(service), logger_(std::move(logger)), clock_(std::move(clock)) {}

std::optional<QDateTime> AlertNotifier::lastSent(const std::string& key) const {
    if (auto it = lastSent_.find(key); it != lastSent_.end()) {
        return it->second;
    }
    return std::nullopt;
}

void AlertNotifier::notify(const std::string& key, const std::string& title, const std::string& body) {
    if (auto last = lastSent(key)) {
        const double elapsedSeconds = static_cast<double>(last->msecsTo(clock_())) / 1000.0;
        if (elapsedSeconds < kCooldownSeconds) {
            return;
        }
    }
    QMetaObject::invokeMethod(
        this, [this, key, title, body] { checkAndFire(key, title, body); }, Qt::QueuedConnection);
}

void AlertNotifier::notify(const QString& key, const QString& title, const QString& body) {
    notify(key.toStdString(), title.toStdString(), body.toStdString());
}

void AlertNotifier::checkAndFire(const std::string& key, const std::string& title, const std::string& body) {
    if (!service_) {
        return;
    }
    // The answers may come after we are gone; the guard turns them into no-ops then.
    QPointer<AlertNotifier> self(this);
    service_->readAuthorizationStatus([self, key, title, body](Status status) {
        if (!self) {
            return;
        }
        switch (status) {
            case Status::notDetermined:
                // One question per process: alerts arriving while it is open are dropped.
                if (self->authorizationRequested_ || !self->service_) {
                    return;
                }
                self->authorizationRequested_ = true;
                self->service_->requestAuthorization([self, key, title, body](bool granted) {
                    if (self && granted) {
                        self->fire(key, title, body);
                    }
                });
                return;
            case Status::authorized:
            case Status::provisional:
                self->fire(key, title, body);
                return;
            case Status::denied:
            case Status::ephemeral:
                return;
        }
    });
}

void AlertNotifier::fire(const std::string& key, const std::string& title, const std::string& body) {
    if (!service_) {
        return;
    }
    const QString identifier =
        toQString(key) + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    service_->addRequest(identifier, toQString(title), toQString(body), /*withSound=*/true);
    // The cooldown starts only once something was actually posted.
    lastSent_[key] = clock_();
    if (logger_) {
        logger_(key, title, body);
    }
}

}  // namespace joulemap
