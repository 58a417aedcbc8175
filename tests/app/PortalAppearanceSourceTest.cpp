#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QPalette>
#include <QSignalSpy>

#include "DbusTestBus.h"
#include "PortalAppearanceSource.h"

namespace joulemap {
namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kAppearance = QStringLiteral("org.freedesktop.appearance");
const QString kColorScheme = QStringLiteral("color-scheme");
constexpr int kReplyWaitMs = 5000;

// Answers like a real portal: Read wraps the value in one more variant than the signal does.
class FakeSettingsPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public slots:
    // Prefers dark from the start.
    QDBusVariant Read(const QString& settingsNamespace, const QString& key) {
        const bool known = settingsNamespace == kAppearance && key == kColorScheme;
        return QDBusVariant(QVariant::fromValue(QDBusVariant(known ? 1u : 0u)));
    }

signals:
    void SettingChanged(const QString& settingsNamespace, const QString& key, const QDBusVariant& value);
};

QPalette paletteWithWindow(const QColor& window) {
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::Window, window);
    return palette;
}

// The palette is process-wide: each test starts from a light one and puts the old one back.
class PortalAppearanceSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bus.isRunning()) << bus.errorString().toStdString();
        QApplication::setPalette(paletteWithWindow(Qt::white));
    }
    void TearDown() override { QApplication::setPalette(saved); }

    const QPalette saved = QGuiApplication::palette();
    DbusTestBus bus;
};

TEST_F(PortalAppearanceSourceTest, FollowsThePortalAndIgnoresThePaletteOnceItAnswered) {
    QDBusConnection portalSide = bus.connection(QStringLiteral("portal"));
    FakeSettingsPortal portal;
    ASSERT_TRUE(portalSide.registerObject(kPortalPath, &portal,
                                          QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    ASSERT_TRUE(portalSide.registerService(kPortalService));

    PortalAppearanceSource source(bus.connection(QStringLiteral("app")));
    QSignalSpy changed(&source, &AppearanceSource::changed);
    ASSERT_TRUE(changed.wait(kReplyWaitMs));
    EXPECT_TRUE(source.hasPortalAnswer());
    EXPECT_TRUE(source.prefersDark());

    // Other settings and repeats of the same value change nothing.
    emit portal.SettingChanged(kAppearance, QStringLiteral("accent-color"), QDBusVariant(0u));
    emit portal.SettingChanged(kAppearance, kColorScheme, QDBusVariant(1u));
    emit portal.SettingChanged(kAppearance, kColorScheme, QDBusVariant(2u));
    ASSERT_TRUE(changed.wait(kReplyWaitMs));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_FALSE(source.prefersDark());

    QApplication::setPalette(paletteWithWindow(Qt::black));
    EXPECT_FALSE(source.prefersDark());
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(PortalAppearanceSourceTest, WithoutPortalFollowsThePaletteLightness) {
    PortalAppearanceSource source(bus.connection(QStringLiteral("app")));
    QSignalSpy changed(&source, &AppearanceSource::changed);
    EXPECT_FALSE(source.prefersDark());

    QApplication::setPalette(paletteWithWindow(QColor(40, 40, 45)));
    EXPECT_TRUE(source.prefersDark());
    EXPECT_EQ(changed.count(), 1);

    // A palette change that keeps it dark is not a change of appearance.
    QApplication::setPalette(paletteWithWindow(QColor(30, 30, 30)));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(source.hasPortalAnswer());
}

}  // namespace
}  // namespace joulemap

#include "PortalAppearanceSourceTest.moc"
