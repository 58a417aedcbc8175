#include "CapsuleButton.h"
#include "HistoryAlertsCard.h"
#include "HistoryChartCard.h"
#include "HistoryChartModel.h"
#include "HistoryRows.h"
#include "HistoryEnergyCard.h"
#include "HistorySamplesCard.h"
#include "HistoryView.h"
#include "support/AppFakes.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace joulemap {
namespace {

constexpr double kStart = 1'796'601'600;

class HistoryViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        store_ = std::make_unique<HistoryStore>(prefs_.dir.filePath(QStringLiteral("history.db")).toStdString(),
                                                [this] { return now_; });
        for (int i = 1; i <= 40; ++i) {
            now_ = kStart + 30 * i;
            store_->insert(i, i / 2.0, 50, i % 2 ? 1.5 : -1.5, {{"Firefox", i % 2 == 0, 0.01}});
        }
        store_->insertAlert("highTemp", "电池过热", "46°C");
        now_ += 1;
    }

    test::Preferences prefs_;
    double now_ = kStart;
    std::unique_ptr<HistoryStore> store_;
};

TEST_F(HistoryViewTest, ShowingLoadsTheRangeAndKeepsReloadingOnlyWhileShown) {
    HistoryView view(&prefs_.theme, store_.get());
    view.chartCard()->setClock([this] { return now_; });
    view.resize(720, 560);
    QSignalSpy loaded(&view, &HistoryView::loaded);
    EXPECT_FALSE(view.reloadTimer()->isActive());

    view.show();
    ASSERT_TRUE(loaded.wait(5000));
    EXPECT_EQ(std::pair(view.records().size(), view.chartCard()->records().size()), std::pair(40ul, 40ul));
    EXPECT_EQ(view.samplesCard()->title(), QStringLiteral("明细记录（最近 15 条）"));
    EXPECT_EQ(view.samplesCard()->rows().front().inputW, "40.0W");
    EXPECT_EQ(view.alertsCard()->rows().at(0).icon, "🔥");
    ASSERT_EQ(view.energyCard()->sections().size(), 2u);
    EXPECT_EQ(view.energyCard()->sections()[0].totalText, "共 0.2 Wh");  // 20 rows on battery
    EXPECT_TRUE(view.reloadTimer()->isActive() && view.reloadTimer()->interval() == 30'000);

    // A new sample shows up with the next reload.
    now_ += 30;
    store_->insert(99, 1, 50, 0);
    view.setSelectedHours(168);
    ASSERT_TRUE(loaded.wait(5000));
    EXPECT_EQ(view.records().size(), 41u);
    EXPECT_EQ(view.samplesCard()->rows().front().inputW, "99.0W");
    EXPECT_EQ(view.chartCard()->model().timeLabels().front().text.find(':'), std::string::npos);

    view.hide();
    EXPECT_FALSE(view.reloadTimer()->isActive());
}

TEST_F(HistoryViewTest, ExportWritesTheFilesOffTheMainThreadAndSaysWhere) {
    HistoryView view(&prefs_.theme, store_.get());
    QSignalSpy exported(&view, &HistoryView::exported);
    const QString folder = prefs_.dir.filePath(QStringLiteral("导出"));
    view.exportCsv(folder);
    ASSERT_TRUE(exported.wait(5000));
    EXPECT_EQ(exported.at(0).at(0).toString(), QString());
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/apps.csv")));
    EXPECT_TRUE(view.exportStatus().contains(folder)) << view.exportStatus().toStdString();

    view.exportCsv(prefs_.dir.filePath(QStringLiteral("history.db/inside")));  // a file is in the way
    ASSERT_TRUE(exported.wait(5000));
    EXPECT_FALSE(exported.at(1).at(0).toString().isEmpty());
    EXPECT_TRUE(view.exportStatus().startsWith(QStringLiteral("导出失败"))) << view.exportStatus().toStdString();
}

TEST_F(HistoryViewTest, OnlyTheNewestOfOverlappingReadsIsShown) {
    HistoryView view(&prefs_.theme, store_.get());
    QSignalSpy loaded(&view, &HistoryView::loaded);
    // The first read covers only the last hour of a clock moved a day ahead: nothing.
    now_ += 24 * 3600;
    view.setSelectedHours(1);
    view.setSelectedHours(168);
    ASSERT_TRUE(loaded.wait(5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(loaded.count(), 1);
    EXPECT_EQ(view.records().size(), 40u);
}

TEST_F(HistoryViewTest, RangeButtonsChooseTheRangeAndShowTheChoice) {
    HistoryView view(&prefs_.theme, store_.get());
    view.resize(720, 560);
    view.show();
    QSignalSpy loaded(&view, &HistoryView::loaded);
    ASSERT_TRUE(loaded.wait(5000));
    QList<CapsuleButton*> buttons = view.findChildren<CapsuleButton*>();
    buttons.removeIf([](CapsuleButton* b) { return !b->isCheckable(); });  // the export button
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_TRUE(buttons[0]->isChecked());
    for (const int clicks : {1, 2}) {  // a second click on the chosen range keeps it chosen
        QTest::mouseClick(buttons[1], Qt::LeftButton);
        EXPECT_EQ(view.selectedHours(), 168) << clicks;
        EXPECT_TRUE(!buttons[0]->isChecked() && buttons[1]->isChecked());
    }
}

TEST_F(HistoryViewTest, ReadOutFollowsThePointerOverTheChartOnly) {
    HistoryChartCard card(&prefs_.theme);
    card.resize(680, card.sizeHint().height());
    const QRectF chart = card.chartRect();
    const auto move = [&card](QPointF at) {
        QMouseEvent event(QEvent::MouseMove, at, card.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&card, &event);
    };
    move(chart.center());
    EXPECT_EQ(card.hoverX(), chart.width() / 2);
    move({chart.center().x(), chart.bottom() + 10});  // over the legend
    EXPECT_FALSE(card.hoverX());
    move(chart.center());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&card, &leave);
    EXPECT_FALSE(card.hoverX());
}

}  // namespace
}  // namespace joulemap
