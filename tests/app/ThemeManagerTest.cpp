#include <gtest/gtest.h>

#include <QSettings>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>

#include "FixedAppearanceSource.h"
#include "ThemeManager.h"

namespace joulemap {
namespace {

class ThemeManagerTest : public ::testing::Test {
protected:
    QString file() const { return dir_.filePath(QStringLiteral("settings.ini")); }
    void store(const QString& key, const QVariant& value) { QSettings(file(), QSettings::IniFormat).setValue(key, value); }
    std::unique_ptr<ThemeManager> open() { return std::make_unique<ThemeManager>(file(), &appearance_); }

    QTemporaryDir dir_;
    FixedAppearanceSource appearance_;
};

TEST_F(ThemeManagerTest, LoadingAcceptsOnlyExactTokensAndBooleans) {
    auto manager = open();
    EXPECT_EQ(std::tuple(manager->theme(), manager->highTempAlertEnabled(), manager->highDrainAlertEnabled()),
              std::tuple(AppTheme::light, true, true));
    EXPECT_TRUE(manager->prometheusTextfile().isEmpty());  // no export until asked for

    const std::vector<std::pair<QVariant, AppTheme>> themes{
        {"dark", AppTheme::dark},  {"system", AppTheme::system}, {"Dark", AppTheme::light},
        {"夜间", AppTheme::light}, {QStringList{"dark", "x"}, AppTheme::light},
    };
    for (const auto& [stored, expected] : themes) {
        store("theme", stored);
        EXPECT_EQ(open()->theme(), expected) << stored.toString().toStdString();
    }

    store("highTempAlert", false);
    store("highDrainAlert", "no");
    manager = open();
    EXPECT_EQ(std::pair(manager->highTempAlertEnabled(), manager->highDrainAlertEnabled()),
              std::pair(false, true));
    store("highTempAlert", 0);
    EXPECT_TRUE(open()->highTempAlertEnabled());
}

TEST_F(ThemeManagerTest, EveryAssignmentIsAnnouncedAndSurvivesARestart) {
    {
        const auto manager = open();
        QSignalSpy themeSpy(manager.get(), &ThemeManager::themeChanged);
        QSignalSpy tempSpy(manager.get(), &ThemeManager::highTempAlertEnabledChanged);
        QSignalSpy drainSpy(manager.get(), &ThemeManager::highDrainAlertEnabledChanged);
        QSignalSpy prometheusSpy(manager.get(), &ThemeManager::prometheusTextfileChanged);
        manager->setTheme(AppTheme::light);
        manager->setTheme(AppTheme::system);
        manager->setHighTempAlertEnabled(true);
        manager->setHighDrainAlertEnabled(false);
        manager->setPrometheusTextfile(QStringLiteral("/var/lib/node/joulemap.prom"));
        EXPECT_EQ((std::vector{themeSpy.count(), tempSpy.count(), drainSpy.count(), prometheusSpy.count()}),
                  (std::vector<qsizetype>{2, 1, 1, 1}));
    }
    const QSettings written(file(), QSettings::IniFormat);
    EXPECT_EQ(written.value("theme").toString(), "system");
    // An unchanged default is written too.
    EXPECT_TRUE(written.contains("highTempAlert"));

    const auto reopened = open();
    EXPECT_EQ(
        std::tuple(reopened->theme(), reopened->highTempAlertEnabled(), reopened->highDrainAlertEnabled()),
        std::tuple(AppTheme::system, true, false));
    EXPECT_EQ(reopened->prometheusTextfile(), "/var/lib/node/joulemap.prom");
}

TEST_F(ThemeManagerTest, OnlySystemThemeFollowsTheAppearanceSource) {
    const auto manager = open();
    QSignalSpy themeSpy(manager.get(), &ThemeManager::themeChanged);

    manager->setTheme(AppTheme::light);
    appearance_.setPrefersDark(true);
    EXPECT_EQ(manager->resolvedTheme(), AppTheme::light);
    EXPECT_EQ(themeSpy.count(), 1);

    manager->setTheme(AppTheme::system);
    EXPECT_EQ(manager->resolvedTheme(), AppTheme::dark);
    EXPECT_EQ(manager->palette(), palette(AppTheme::dark));

    appearance_.setPrefersDark(false);
    EXPECT_EQ(themeSpy.count(), 3);
    EXPECT_EQ(std::pair(manager->theme(), manager->resolvedTheme()),
              std::pair(AppTheme::system, AppTheme::light));
}

TEST(AppThemeTest, NamesRoundTripAndSystemDrawsWithTheLightPalette) {
    for (AppTheme theme : allThemes()) {
        EXPECT_EQ(appThemeFromDisplayText(displayText(theme)), theme);
        EXPECT_EQ(appThemeFromToken(token(theme)), theme);
    }
    EXPECT_EQ(appThemeFromDisplayText("dark"), std::nullopt);
    EXPECT_EQ(appThemeFromToken("夜间"), std::nullopt);

    EXPECT_EQ(palette(AppTheme::system), palette(AppTheme::light));
    EXPECT_NE(palette(AppTheme::dark), palette(AppTheme::light));
}

}  // namespace
}  // namespace joulemap
