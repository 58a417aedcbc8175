#include <gtest/gtest.h>

#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include "ChargeLimitService.h"
#include "ChargeSettingsBlock.h"
#include "FixedAppearanceSource.h"
#include "SegmentedControl.h"
#include "SettingsView.h"
#include "ThemeManager.h"
#include "ToggleSwitch.h"

namespace joulemap {
namespace {

// A driver in memory: it may be read-only to the user, and may store something other than what
// it is given, as real ones round or clamp.
struct FakeChargeLimitControl : ChargeLimitControl {
    FakeChargeLimitControl(int end, bool canWrite = true, std::function<int(int)> keeps = {})
        : endPct(end), writable(canWrite), stores(std::move(keeps)) {}
    ChargeLimitState read() override {
        return {endPct, 0, writable, writable ? ChargeLimitIssue::none : ChargeLimitIssue::notWritable};
    }
    ChargeLimitState setEndThreshold(int pct) override {
        ++writes;
        if (writable) endPct = stores ? stores(pct) : pct;
        return read();
    }
    int endPct;
    bool writable;
    std::function<int(int)> stores;
    int writes = 0;
};

struct Fixture {
    QTemporaryDir dir;
    FixedAppearanceSource appearance;
    std::unique_ptr<ThemeManager> theme = std::make_unique<ThemeManager>(dir.filePath("prefs.ini"), &appearance);
};

TEST(ChargeSettingsTest, LimitIsSetOnlyWhenWritableAndShowsWhatTheKernelKept) {
    Fixture f;
    // This driver keeps limits in steps of ten.
    auto* control = new FakeChargeLimitControl(100, true, [](int pct) { return pct / 10 * 10; });
    ChargeLimitService service(std::unique_ptr<ChargeLimitControl>(control), f.theme.get());
    SettingsView view(f.theme.get());
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
    EXPECT_EQ(f.theme->chargeLimitPct(), 90);
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
    ChargeLimitService locked(std::unique_ptr<ChargeLimitControl>(readOnly), f.theme.get());
    block->setChargeLimitService(&locked);
    EXPECT_FALSE(picker->isEnabled());
    EXPECT_TRUE(block->limitStatus()->text().contains("docs/charge-limit.md"));
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(0).center());
    EXPECT_EQ(readOnly->writes, 0);

    block->setChargeLimitService(nullptr);
    EXPECT_FALSE(picker->isEnabled());
    EXPECT_EQ(block->limitStatus()->text(), "这台电脑的电池驱动不提供充电上限");
}

TEST(ChargeSettingsTest, RememberedLimitIsWrittenAgainAtStartWhenTheKernelLostIt) {
    struct Case {
        int remembered, kernel;
        bool writable;
        int writes, endAfter;
    };
    const Case cases[] = {
        {80, 100, true, 1, 80},   // after a reboot
        {80, 80, true, 0, 80},    // still there
        {0, 100, true, 0, 100},   // never chosen here: left alone
        {80, 100, false, 0, 100}, // not this user's to write
    };
    for (const Case& c : cases) {
        Fixture f;
        f.theme->setChargeLimitPct(c.remembered);
        auto* control = new FakeChargeLimitControl(c.kernel, c.writable);
        ChargeLimitService service(std::unique_ptr<ChargeLimitControl>(control), f.theme.get());
        service.applyPreference();
        EXPECT_EQ(control->writes, c.writes) << c.remembered << " " << c.kernel;
        EXPECT_EQ(service.state().endPct, c.endAfter) << c.remembered << " " << c.kernel;
    }
}

TEST(ChargeSettingsTest, ChargeAlertsAreOffAt80And20UntilChosenAndSurviveARestart) {
    Fixture f;
    {
        SettingsView view(f.theme.get());
        ChargeSettingsBlock* block = view.chargeSettings();
        EXPECT_FALSE(block->highAlertSwitch()->isChecked());
        EXPECT_FALSE(block->lowAlertSwitch()->isChecked());
        EXPECT_EQ(block->highAlertLevel()->value(), 80);
        EXPECT_EQ(block->lowAlertLevel()->value(), 20);
        block->highAlertSwitch()->click();
        block->lowAlertLevel()->setValue(15);
    }
    // An INI file gives the switches back as text: "true" is on, and the unset one stays off.
    ThemeManager restarted(f.dir.filePath("prefs.ini"), &f.appearance);
    EXPECT_TRUE(restarted.chargeHighAlertEnabled());
    EXPECT_FALSE(restarted.chargeLowAlertEnabled());
    EXPECT_EQ(restarted.chargeLowAlertPct(), 15);
}

}  // namespace
}  // namespace joulemap
