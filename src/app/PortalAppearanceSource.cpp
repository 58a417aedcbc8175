#include "PortalAppearanceSource.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace joulemap {

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kSettingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kAppearanceNamespace = QStringLiteral("org.freedesktop.appearance");
const QString kColorSchemeKey = QStringLiteral("color-scheme");
constexpr uint kPreferDark = 1;
// Asynchronous, so start-up never waits on it; the bound leaves room for a portal that is
// started on demand and only gives up on a hung one.
constexpr int kReadTimeoutMs = 5000;
// Below the middle of QColor's 0..255 lightness scale the window background counts as dark.
constexpr int kDarkLightnessLimit = 128;

bool paletteLooksDark() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    return QGuiApplication::palette().color(QPalette::Window).lightness() < kDarkLightnessLimit;
}

// Read answers a variant holding the variant of the value; ReadOne answers one level. Unwrap all.
QVariant unwrapVariants(QVariant value) {
    while (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        value = qvariant_cast<QDBusVariant>(value).variant();
    }
    return value;
}

}  // namespace

PortalAppearanceSource::PortalAppearanceSource(QObject* parent)
    : PortalAppearanceSource(QDBusConnection::sessionBus(), parent) {}

PortalAppearanceSource::PortalAppearanceSource(const QDBusConnection& bus, QObject* parent)
    : AppearanceSource(parent), bus_(bus), reportedDark_(paletteLooksDark()) {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    if (!bus_.isConnected()) {
        return;
    }
    // QtDBus matches the slot's parameter types by metatype id, and QDBusVariant gets one only
    // once something registers it; without this the subscription silently fails.
    qRegisterMetaType<QDBusVariant>();
    bus_.connect(kPortalService, kPortalPath, kSettingsInterface, QStringLiteral("SettingChanged"), this,
                 SLOT(onSettingChanged(QString,QString,QDBusVariant)));
    requestColorScheme(QStringLiteral("Read"));
}

PortalAppearanceSource::~PortalAppearanceSource() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

bool PortalAppearanceSource::prefersDark() const {
    return portalPrefersDark_ ? *portalPrefersDark_ : paletteLooksDark();
}

void PortalAppearanceSource::requestColorScheme(const QString& method) {
    QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kSettingsInterface, method);
    call << kAppearanceNamespace << kColorSchemeKey;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kReadTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, method] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *watcher;
        if (!reply.isError()) {
            applyColorScheme(reply.argumentAt<0>().variant());
            return;
        }
        // Read is the call every portal version has; ReadOne only in case one day it is gone.
        if (method == QStringLiteral("Read") && reply.error().type() == QDBusError::UnknownMethod) {
            requestColorScheme(QStringLiteral("ReadOne"));
        }
        // Otherwise no portal (or no appearance setting): the palette keeps answering.
    });
}

void PortalAppearanceSource::applyColorScheme(const QVariant& value) {
    bool ok = false;
    const uint scheme = unwrapVariants(value).toUInt(&ok);
    if (!ok) {
        return;
    }
    portalPrefersDark_ = scheme == kPreferDark;
    reportIfChanged();
}

void PortalAppearanceSource::onSettingChanged(const QString& settingsNamespace, const QString& key,
                                              const QDBusVariant& value) {
    if (settingsNamespace == kAppearanceNamespace && key == kColorSchemeKey) {
        applyColorScheme(value.variant());
    }
}

bool PortalAppearanceSource::eventFilter(QObject* watched, QEvent* event) {
    // Once a portal has answered it is the authority; palette changes are then our own or noise.
    if (event->type() == QEvent::ApplicationPaletteChange && watched == QCoreApplication::instance() &&
        !portalPrefersDark_) {
        reportIfChanged();
    }
    return AppearanceSource::eventFilter(watched, event);
}

void PortalAppearanceSource::reportIfChanged() {
    const bool dark = prefersDark();
    if (dark != reportedDark_) {
        reportedDark_ = dark;
        emit changed();
    }
}

}  // namespace joulemap
