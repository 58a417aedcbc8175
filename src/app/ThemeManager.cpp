#include "ThemeManager.h"

#include "PortalAppearanceSource.h"

namespace joulemap {

namespace {

const QString kThemeKey = QStringLiteral("theme");
const QString kHighTempAlertKey = QStringLiteral("highTempAlert");
const QString kHighDrainAlertKey = QStringLiteral("highDrainAlert");
const QString kPrometheusTextfileKey = QStringLiteral("prometheusTextfile");

// Only exact tokens count; a display text or "Dark" is as foreign as any other text.
AppTheme themeFromStored(const QVariant& stored) {
    if (stored.metaType() != QMetaType::fromType<QString>()) {
        return AppTheme::light;
    }
    const QString text = stored.toString();
    if (text == token(AppTheme::dark)) {
        return AppTheme::dark;
    }
    if (text == token(AppTheme::system)) {
        return AppTheme::system;
    }
    return AppTheme::light;
}

// An INI file keeps no types: a bool written by QSettings reads back as the text "true" or
// "false", so those two texts are Booleans too. Anything else counts as never set: on.
bool switchFromStored(const QVariant& stored) {
    if (stored.metaType() == QMetaType::fromType<bool>()) {
        return stored.toBool();
    }
    if (stored.metaType() == QMetaType::fromType<QString>()) {
        const QString text = stored.toString();
        if (text == QStringLiteral("false")) {
            return false;
        }
    }
    return true;
}

}  // namespace

ThemeManager::ThemeManager(AppearanceSource* source, QObject* parent)
    : ThemeManager(std::make_unique<QSettings>(QStringLiteral("Joulemap"), QStringLiteral("Joulemap")), source,
                   parent) {}

ThemeManager::ThemeManager(const QString& settingsFile, AppearanceSource* source, QObject* parent)
    : ThemeManager(std::make_unique<QSettings>(settingsFile, QSettings::IniFormat), source, parent) {}

ThemeManager::ThemeManager(std::unique_ptr<QSettings> settings, AppearanceSource* source, QObject* parent)
    : QObject(parent), settings_(std::move(settings)) {
    load();
    followAppearance(source != nullptr ? source : new PortalAppearanceSource(this));
}

ThemeManager::~ThemeManager() = default;

void ThemeManager::load() {
    theme_ = themeFromStored(settings_->value(kThemeKey));
    highTempAlertEnabled_ = switchFromStored(settings_->value(kHighTempAlertKey));
    highDrainAlertEnabled_ = switchFromStored(settings_->value(kHighDrainAlertKey));
    prometheusTextfile_ = settings_->value(kPrometheusTextfileKey).toString();
}

void ThemeManager::followAppearance(AppearanceSource* source) {
    appearance_ = source;
    // Re-assigning `system` announces it, so every view resolves the theme against the new state.
    connect(source, &AppearanceSource::changed, this, [this] {
        if (theme_ == AppTheme::system) {
            setTheme(AppTheme::system);
        }
    });
}

void ThemeManager::store(const QString& key, const QVariant& value) {
    settings_->setValue(key, value);
    // Written through at once: a crash or a second instance must not see an older choice.
    settings_->sync();
}

void ThemeManager::setTheme(AppTheme theme) {
    theme_ = theme;
    store(kThemeKey, token(theme));
    emit themeChanged(theme);
}

void ThemeManager::setHighTempAlertEnabled(bool enabled) {
    highTempAlertEnabled_ = enabled;
    store(kHighTempAlertKey, enabled);
    emit highTempAlertEnabledChanged(enabled);
}

void ThemeManager::setHighDrainAlertEnabled(bool enabled) {
    highDrainAlertEnabled_ = enabled;
    store(kHighDrainAlertKey, enabled);
    emit highDrainAlertEnabledChanged(enabled);
}

void ThemeManager::setPrometheusTextfile(const QString& path) {
    prometheusTextfile_ = path;
    store(kPrometheusTextfileKey, path);
    emit prometheusTextfileChanged(path);
}

AppTheme ThemeManager::resolvedTheme() const {
    if (theme_ != AppTheme::system) {
        return theme_;
    }
    return appearance_ != nullptr && appearance_->prefersDark() ? AppTheme::dark : AppTheme::light;
}

}  // namespace joulemap
