#pragma once

#include <QDBusConnection>
#include <QDBusVariant>
#include <QString>

#include <optional>

#include "AppearanceSource.h"

namespace joulemap {

// The desktop's dark-mode preference as published by the XDG desktop portal
// ("org.freedesktop.appearance" / "color-scheme", 1 = prefer dark), followed through its
// SettingChanged signal. Until (or unless) a portal answers, the lightness of the application
// palette's window colour stands in, and palette changes are followed instead. The shell should
// therefore not paint the application palette from the resolved theme, or the fallback would
// only see its own choice.
class PortalAppearanceSource : public AppearanceSource {
    Q_OBJECT

public:
    explicit PortalAppearanceSource(QObject* parent = nullptr);
    // Tests hand in a connection to a private bus.
    explicit PortalAppearanceSource(const QDBusConnection& bus, QObject* parent = nullptr);
    ~PortalAppearanceSource() override;

    bool prefersDark() const override;
    // Whether a portal has told us the setting (else the palette is used).
    bool hasPortalAnswer() const { return portalPrefersDark_.has_value(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void onSettingChanged(const QString& settingsNamespace, const QString& key, const QDBusVariant& value);

private:
    void requestColorScheme(const QString& method);
    void applyColorScheme(const QVariant& value);
    // Emits changed() when prefersDark() differs from what was last reported, so repeated
    // notifications and palette updates that keep the lightness do not re-theme every window.
    void reportIfChanged();

    QDBusConnection bus_;
    std::optional<bool> portalPrefersDark_;
    bool reportedDark_ = false;
};

}  // namespace joulemap
