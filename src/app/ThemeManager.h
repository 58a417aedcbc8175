#pragma once

#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QString>

#include <memory>

#include "AppTheme.h"
#include "AppearanceSource.h"
#include "ChargeLevelAlert.h"

namespace joulemap {

// The user's preferences: the theme, the alert switches, the charge settings and the metrics file.
// Each assignment announces itself (even with an unchanged value, so views simply redraw) and is
// written to the settings at once; they are read back at construction.
class ThemeManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(joulemap::AppTheme theme READ theme WRITE setTheme NOTIFY themeChanged)
    Q_PROPERTY(bool highTempAlertEnabled READ highTempAlertEnabled WRITE setHighTempAlertEnabled NOTIFY
                   highTempAlertEnabledChanged)
    Q_PROPERTY(bool highDrainAlertEnabled READ highDrainAlertEnabled WRITE setHighDrainAlertEnabled NOTIFY
                   highDrainAlertEnabledChanged)

public:
    // The user's settings ("Joulemap"/"Joulemap"). Without a source, the desktop portal is followed.
    explicit ThemeManager(AppearanceSource* source = nullptr, QObject* parent = nullptr);
    // Settings in the given INI file instead, so tests never touch the user's own.
    ThemeManager(const QString& settingsFile, AppearanceSource* source, QObject* parent = nullptr);
    ~ThemeManager() override;

    AppTheme theme() const { return theme_; }
    void setTheme(AppTheme theme);

    bool highTempAlertEnabled() const { return highTempAlertEnabled_; }
    void setHighTempAlertEnabled(bool enabled);

    bool highDrainAlertEnabled() const { return highDrainAlertEnabled_; }
    void setHighDrainAlertEnabled(bool enabled);

    // The file the metrics for node_exporter's textfile collector are written to; empty = no export.
    QString prometheusTextfile() const { return prometheusTextfile_; }
    // The interface language: "system", "zh" or "en" (Translations). Setting it puts the texts in
    // that language at once; windows made from then on read in it.
    QString language() const;
    void setLanguage(const QString& language);
    void setPrometheusTextfile(const QString& path);
    // Charge preferences: the limit the user chose (0 = left to the system) and the two
    // charge-level alerts, off by default. Every change announces chargePreferencesChanged.
    int chargeLimitPct() const { return chargeLimitPct_; }
    void setChargeLimitPct(int pct);
    bool chargeHighAlertEnabled() const { return chargeHighAlertEnabled_; }
    void setChargeHighAlertEnabled(bool enabled);
    int chargeHighAlertPct() const { return chargeHighAlertPct_; }
    void setChargeHighAlertPct(int pct);
    bool chargeLowAlertEnabled() const { return chargeLowAlertEnabled_; }
    void setChargeLowAlertEnabled(bool enabled);
    int chargeLowAlertPct() const { return chargeLowAlertPct_; }
    void setChargeLowAlertPct(int pct);

    // Light or dark, never system: what the views draw with.
    AppTheme resolvedTheme() const;
    const ThemePalette& palette() const { return joulemap::palette(resolvedTheme()); }

signals:
    void themeChanged(joulemap::AppTheme theme);
    void highTempAlertEnabledChanged(bool enabled);
    void highDrainAlertEnabledChanged(bool enabled);
    void prometheusTextfileChanged(const QString& path);
    void chargePreferencesChanged();
    void languageChanged(const QString& language);

private:
    ThemeManager(std::unique_ptr<QSettings> settings, AppearanceSource* source, QObject* parent);
    void load();
    void followAppearance(AppearanceSource* source);
    void store(const QString& key, const QVariant& value);

    std::unique_ptr<QSettings> settings_;
    QPointer<AppearanceSource> appearance_;
    AppTheme theme_ = AppTheme::light;
    bool highTempAlertEnabled_ = true;
    bool highDrainAlertEnabled_ = true;
    QString prometheusTextfile_;
    int chargeLimitPct_ = 0;
    bool chargeHighAlertEnabled_ = false;
    int chargeHighAlertPct_ = kDefaultChargeHighAlertPct;
    bool chargeLowAlertEnabled_ = false;
    int chargeLowAlertPct_ = kDefaultChargeLowAlertPct;
};

}  // namespace joulemap
