#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <atomic>

#include "MetricsExport.h"

namespace joulemap {
namespace {

// Energy counters give a figure only from their second reading on, like RAPL.
ModelSources meteredDesktop(const std::shared_ptr<std::atomic<int>>& powerReads) {
    ModelSources sources;
    sources.readPower = [powerReads] {
        return MeasuredPower{.packageWatts = ++*powerReads > 1 ? std::optional(12.5) : std::nullopt};
    };
    sources.sampleProcesses = [] { return std::vector<AppShare>{{"Blender", std::nullopt, 1.0}, {"__system__", std::nullopt, 0.2}}; };
    return sources;
}

TEST(MetricsExport, OneSampleGivesMeterAveragesAndAppBandsOrSaysWhyNothingWasWritten) {
    QTemporaryDir dir;
    const auto reads = std::make_shared<std::atomic<int>>(0);
    const QString path = dir.filePath("joulemap.prom");
    std::string error;
    ASSERT_TRUE(MetricsExport::exportOnce(path.toStdString(), meteredDesktop(reads), &error)) << error;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("joulemap_input_power_watts{measured=\"true\"} 12.5\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("joulemap_component_power_watts{component=\"cpu\",measured=\"true\"}")) << text.toStdString();
    EXPECT_TRUE(text.contains("joulemap_app_power_watts{app=\"Blender\"}")) << text.toStdString();
    EXPECT_FALSE(text.contains("joulemap_battery_"));  // a desktop has no battery figures
    EXPECT_FALSE(text.contains("joulemap_app_energy_wh_total"));  // nothing integrated in one look

    EXPECT_FALSE(MetricsExport::exportOnce("/proc/joulemap/joulemap.prom", meteredDesktop(reads), &error));
    EXPECT_NE(error.find("/proc/joulemap"), std::string::npos) << error;
}

}  // namespace
}  // namespace joulemap
