#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "JoulemapViewModel.h"
#include "PrometheusTextfileWriter.h"
#include "ThemeManager.h"  // completes the model's preferences pointer

namespace joulemap {
namespace {

constexpr int kWaitMs = 5000;

QString contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

ModelSources onBattery() {
    ModelSources sources;
    sources.readBattery = [] {
        return std::optional(BatteryInfo{.currentCapacityPct = 57, .batteryPowerMw = -8000});
    };
    return sources;
}

TEST(PrometheusTextfileWriter, EveryRefreshRewritesTheFileAndAnOldPathIsCleanedUp) {
    QTemporaryDir dir;
    JoulemapViewModel model(onBattery());
    model.setIsActive(false);
    PrometheusTextfileWriter writer(model);
    QSignalSpy refreshed(&model, &JoulemapViewModel::refreshed);
    const auto refresh = [&] {
        model.refresh();
        return refreshed.wait(kWaitMs);
    };

    // The folder is made on the first write.
    const QString first = dir.filePath("state/joulemap/joulemap.prom");
    writer.setPath(first);
    ASSERT_TRUE(refresh());
    const QString text = contents(first);
    EXPECT_TRUE(text.contains("\njoulemap_battery_charge_ratio 0.57\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\njoulemap_battery_power_watts -8.0\n")) << text.toStdString();

    // A new path drops the old file at once: a collector would report its figures as current.
    const QString second = dir.filePath("second.prom");
    writer.setPath(second);
    EXPECT_FALSE(QFile::exists(first));
    ASSERT_TRUE(refresh());
    EXPECT_TRUE(QFile::exists(second));

    // A folder that cannot be made: the reason is kept, the next good path clears it.
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    writer.setPath(dir.filePath("file/joulemap.prom"));
    ASSERT_TRUE(refresh());
    EXPECT_TRUE(writer.lastError().contains(dir.filePath("file"))) << writer.lastError().toStdString();

    writer.setPath({});
    ASSERT_TRUE(refresh());
    EXPECT_TRUE(writer.lastError().isEmpty());
    EXPECT_FALSE(QFile::exists(second));
}

}  // namespace
}  // namespace joulemap
