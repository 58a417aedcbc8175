#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include "SegmentedControl.h"
#include "SettingsView.h"
#include "ToggleSwitch.h"
#include "support/AppFakes.h"

namespace joulemap {
namespace {

TEST(SettingsViewTest, ControlsWriteThroughAndSurviveARestart) {
    QTemporaryDir dir;
    const QString settingsFile = dir.filePath("theme.ini");
    FixedAppearanceSource appearance;
    {
        ThemeManager theme(settingsFile, &appearance);
        SettingsView view(&theme);
        view.resize(440, 680);
        view.show();
        SegmentedControl* picker = view.themePicker();
        QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(1).center());
        EXPECT_EQ(theme.theme(), AppTheme::dark);
        EXPECT_EQ(view.themeDescription(), "固定深色外观");
        view.highTempSwitch()->click();
        EXPECT_FALSE(theme.highTempAlertEnabled());
        SegmentedControl* language = view.languagePicker();
        QTest::mouseClick(language, Qt::LeftButton, {}, language->segmentRect(2).center());
        EXPECT_EQ(theme.language(), "en");

        // A change made elsewhere shows here too.
        theme.setHighDrainAlertEnabled(false);
        EXPECT_FALSE(view.highDrainSwitch()->isChecked());
        theme.setTheme(AppTheme::system);
        EXPECT_EQ(picker->currentIndex(), 2);
        // In the language chosen a moment ago, without a restart.
        EXPECT_EQ(view.themeDescription(), "Follows the desktop's light or dark mode");
        theme.setTheme(AppTheme::dark);
    }
    ThemeManager restarted(settingsFile, &appearance);
    SettingsView view(&restarted);
    EXPECT_EQ(view.themePicker()->currentIndex(), 1);
    EXPECT_EQ(view.languagePicker()->currentIndex(), 2);
    EXPECT_FALSE(view.highTempSwitch()->isChecked());
    EXPECT_FALSE(view.highDrainSwitch()->isChecked());
    restarted.setLanguage("zh");
}

TEST(SettingsViewTest, PrometheusSwitchWritesTheStatePathAndShowsTheFile) {
    test::Preferences prefs;
    ThemeManager& theme = prefs.theme;
    const QByteArray previous = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", prefs.dir.path().toUtf8());
    const QString fallback = prefs.dir.filePath("joulemap/joulemap.prom");
    SettingsView view(&theme);
    EXPECT_FALSE(view.prometheusSwitch()->isChecked());
    EXPECT_EQ(view.prometheusCaption(), fallback);  // where switching on would write

    view.prometheusSwitch()->click();
    EXPECT_EQ(theme.prometheusTextfile(), fallback);
    theme.setPrometheusTextfile("/var/lib/prometheus/node-exporter/joulemap.prom");
    EXPECT_TRUE(view.prometheusSwitch()->isChecked());
    EXPECT_EQ(view.prometheusCaption(), "/var/lib/prometheus/node-exporter/joulemap.prom");
    view.prometheusSwitch()->click();
    EXPECT_TRUE(theme.prometheusTextfile().isEmpty());
    EXPECT_EQ(view.prometheusCaption(), fallback);
    qputenv("XDG_STATE_HOME", previous);
}

TEST(SettingsViewTest, StartAtLoginIsTheAutostartFile) {
    test::Preferences prefs;
    SettingsView view(&prefs.theme);
    const std::filesystem::path file = prefs.dir.filePath("autostart/joulemap.desktop").toStdString();
    view.setAutostart(file, "/usr/bin/joulemap");
    EXPECT_FALSE(view.autostartSwitch()->isChecked());

    view.autostartSwitch()->click();
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_TRUE(view.autostartSwitch()->isChecked());
    view.autostartSwitch()->click();
    EXPECT_FALSE(std::filesystem::exists(file));

    // A folder that cannot be written leaves the switch off rather than pretending.
    view.setAutostart(std::filesystem::path("/proc/joulemap/autostart/joulemap.desktop"), "/usr/bin/joulemap");
    view.autostartSwitch()->click();
    EXPECT_FALSE(view.autostartSwitch()->isChecked());

    view.setAutostart(std::nullopt, {});
    EXPECT_TRUE(view.autostartSwitch()->isHidden() || !view.autostartSwitch()->isVisibleTo(&view));
}

}  // namespace
}  // namespace joulemap
