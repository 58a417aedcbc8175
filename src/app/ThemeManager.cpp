#include "ThemeManager.h"

#include "Translations.h"

#include "PortalAppearanceSource.h"

namespace joulemap {

namespace {

const QString kThemeKey = QStringLiteral("theme");
const QString kHighTempAlertKey = QStringLiteral("highTempAlert");
const QString kHighDrainAlertKey = QStringLiteral("highDrainAlert");
const QString kPrometheusTextfileKey = QStringLiteral("prometheusTextfile");
const QString kChargeLimitSetting = QStringLiteral("chargeLimitPct");
const QString kChargeHighAlertSetting = QStringLiteral("chargeHighAlert");
const QString kChargeHighAlertPctSetting = QStringLiteral("chargeHighAlertPct");
const QString kChargeLowAlertSetting = QStringLiteral("chargeLowAlert");
const QString kChargeLowAlertPctSetting = QStringLiteral("chargeLowAlertPct");
constexpr int kMinPct = 1;
constexpr int kMaxPct = 100;

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

// The charge alerts are off until the user turns them on: only "true" counts.
bool offSwitchFromStored(const QVariant& stored) {
    if (stored.metaType() == QMetaType::fromType<bool>()) return stored.toBool();
    return stored.metaType() == QMetaType::fromType<QString>() && stored.toString() == QStringLiteral("true");
}

// A percentage within 1..100 (an INI file gives it back as text); anything else is the fallback.
int pctFromStored(const QVariant& stored, int fallback) {
    bool ok = false;
    const int pct = stored.toInt(&ok);
    return ok && pct >= kMinPct && pct <= kMaxPct ? pct : fallback;
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
    chargeLimitPct_ = pctFromStored(settings_->value(kChargeLimitSetting), 0);
    chargeHighAlertEnabled_ = offSwitchFromStored(settings_->value(kChargeHighAlertSetting));
    chargeHighAlertPct_ = pctFromStored(settings_->value(kChargeHighAlertPctSetting), kDefaultChargeHighAlertPct);
    chargeLowAlertEnabled_ = offSwitchFromStored(settings_->value(kChargeLowAlertSetting));
    chargeLowAlertPct_ = pctFromStored(settings_->value(kChargeLowAlertPctSetting), kDefaultChargeLowAlertPct);
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

QString ThemeManager::language() const {
    const QString stored = settings_->value(QLatin1String(Translations::kPreferenceKey)).toString();
    for (const char* known : {Translations::kChinese, Translations::kEnglish}) {
        if (stored == QLatin1String(known)) return stored;
    }
    return QLatin1String(Translations::kSystem);
}

void ThemeManager::setLanguage(const QString& language) {
    if (language == this->language()) return;
    store(QLatin1String(Translations::kPreferenceKey), language);
    Translations::apply(language);
    emit languageChanged(language);
}

void ThemeManager::setPrometheusTextfile(const QString& path) {
    prometheusTextfile_ = path;
    store(kPrometheusTextfileKey, path);
    emit prometheusTextfileChanged(path);
}

void ThemeManager::setChargeLimitPct(int pct) {
    chargeLimitPct_ = pct;
    store(kChargeLimitSetting, pct);
    emit chargePreferencesChanged();
}

void ThemeManager::setChargeHighAlertEnabled(bool enabled) {
    chargeHighAlertEnabled_ = enabled;
    store(kChargeHighAlertSetting, enabled);
    emit chargePreferencesChanged();
}

void ThemeManager::setChargeHighAlertPct(int pct) {
    chargeHighAlertPct_ = pct;
    store(kChargeHighAlertPctSetting, pct);
    emit chargePreferencesChanged();
}

void ThemeManager::setChargeLowAlertEnabled(bool enabled) {
    chargeLowAlertEnabled_ = enabled;
    store(kChargeLowAlertSetting, enabled);
    emit chargePreferencesChanged();
}

void ThemeManager::setChargeLowAlertPct(int pct) {
    chargeLowAlertPct_ = pct;
    store(kChargeLowAlertPctSetting, pct);
    emit chargePreferencesChanged();
}

AppTheme ThemeManager::resolvedTheme() const {
    if (theme_ != AppTheme::system) {
        return theme_;
    }
    return appearance_ != nullptr && appearance_->prefersDark() ? AppTheme::dark : AppTheme::light;
}

}  // namespace joulemap
