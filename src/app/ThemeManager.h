#pragma once

#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QString>

#include <memory>

#include "AppTheme.h"
#include "AppearanceSource.h"

namespace joulemap {

// The user's preferences: the theme, the two alert switches and the metrics file. Each assignment announces
// itself (even with an unchanged value, so views simply redraw) and is written to the settings at
// once; they are read back at construction.
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
    void setPrometheusTextfile(const QString& path);

    // Light or dark, never system: what the views draw with.
    AppTheme resolvedTheme() const;
    const ThemePalette& palette() const { return joulemap::palette(resolvedTheme()); }

signals:
    void themeChanged(joulemap::AppTheme theme);
    void highTempAlertEnabledChanged(bool enabled);
    void highDrainAlertEnabledChanged(bool enabled);
    void prometheusTextfileChanged(const QString& path);

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
};

}  // namespace joulemap
