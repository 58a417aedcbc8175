#include "ChargeSettingsBlock.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSpinBox>
#include <QTest>

#include "ChargeLimitService.h"
#include "SegmentedControl.h"
#include "SettingsView.h"
#include "ToggleSwitch.h"
#include "support/AppFakes.h"

namespace joulemap {
namespace {

using test::FakeChargeLimitControl;

TEST(ChargeSettingsBlockTest, LimitIsSetOnlyWhenWritableAndShowsWhatTheKernelKept) {
    test::Preferences prefs;
    // This driver keeps limits in steps of ten.
    auto* control = new FakeChargeLimitControl(100, true, [](int pct) { return pct / 10 * 10; });
    ChargeLimitService service(std::unique_ptr<ChargeLimitControl>(control), &prefs.theme);
    SettingsView view(&prefs.theme);
    view.resize(440, 680);
    view.show();
    ChargeSettingsBlock* block = view.chargeSettings();
    block->setChargeLimitService(&service);
    SegmentedControl* picker = block->limitPicker();
    EXPECT_TRUE(picker->isEnabled());
    EXPECT_EQ(picker->currentIndex(), 0);
    EXPECT_FALSE(block->customLimit()->isVisibleTo(&view));

    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(2).center());
    EXPECT_EQ(service.state().endPct, 90);
    EXPECT_EQ(prefs.theme.chargeLimitPct(), 90);
    EXPECT_EQ(block->limitStatus()->text(), "内核报告 90%");

    // A custom value (85 % at first) the driver turns into 80 %: the picker shows the 80 % it kept.
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(3).center());
    EXPECT_EQ(picker->currentIndex(), 1);
    EXPECT_EQ(block->limitStatus()->text(), "驱动把 85% 调整为 80%");
    service.setLimit(70);
    EXPECT_EQ(picker->currentIndex(), 3);
    EXPECT_TRUE(block->customLimit()->isVisibleTo(&view));
    EXPECT_EQ(block->customLimit()->value(), 70);

    // Read-only to this user: nothing to click, and the caption says where to look.
    auto* readOnly = new FakeChargeLimitControl(80, false);
    ChargeLimitService locked(std::unique_ptr<ChargeLimitControl>(readOnly), &prefs.theme);
    block->setChargeLimitService(&locked);
    EXPECT_FALSE(picker->isEnabled());
    EXPECT_TRUE(block->limitStatus()->text().contains("docs/charge-limit.md"));
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(0).center());
    EXPECT_EQ(readOnly->writes, 0);

    block->setChargeLimitService(nullptr);
    EXPECT_FALSE(picker->isEnabled());
    EXPECT_EQ(block->limitStatus()->text(), "这台电脑的电池驱动不提供充电上限");
}

TEST(ChargeSettingsBlockTest, ChargeAlertsAreOffAt80And20UntilChosenAndSurviveARestart) {
    QTemporaryDir dir;
    FixedAppearanceSource appearance;
    const QString file = dir.filePath("settings.ini");
    {
        ThemeManager theme(file, &appearance);
        SettingsView view(&theme);
        ChargeSettingsBlock* block = view.chargeSettings();
        EXPECT_FALSE(block->highAlertSwitch()->isChecked());
        EXPECT_FALSE(block->lowAlertSwitch()->isChecked());
        EXPECT_EQ(block->highAlertLevel()->value(), 80);
        EXPECT_EQ(block->lowAlertLevel()->value(), 20);
        block->highAlertSwitch()->click();
        block->lowAlertLevel()->setValue(15);
    }
    // An INI file gives the switches back as text: "true" is on, and the unset one stays off.
    ThemeManager restarted(file, &appearance);
    EXPECT_TRUE(restarted.chargeHighAlertEnabled());
    EXPECT_FALSE(restarted.chargeLowAlertEnabled());
    EXPECT_EQ(restarted.chargeLowAlertPct(), 15);
}

}  // namespace
}  // namespace joulemap
