// One animation frame of the flow diagram, painted offscreen as the widget paints it 30 times a
// second: nine destinations with their particles, 700 × 450, antialiased.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "JoulemapData.h"
#include "SankeyView.h"

namespace {

using joulemap::JoulemapData;
using joulemap::PowerGroup;
using joulemap::SankeyView;

constexpr int kWidth = 700;
constexpr int kHeight = 450;
constexpr double kFrameSeconds = 1.0 / 30.0;

// A laptop charging while busy: four components, four applications and the battery.
JoulemapData nineDestinations() {
    JoulemapData data;
    data.inputName = "USB-C 充电器";
    data.inputSub = "65W · 20.0V";
    data.inputColor = "#64d2ff";
    data.destinations = {
        {"display", "屏幕", "sun.max.fill", "#ffd60a", PowerGroup::hardware, 6.2},
        {"cpu", "处理器", "cpu", "#ff9f0a", PowerGroup::hardware, 9.8},
        {"gpu", "图形", "cube", "#bf5af2", PowerGroup::hardware, 3.1},
        {"other", "其他", "ellipsis", "#8e8e93", PowerGroup::hardware, 2.4},
        {"app.browser", "浏览器", "app", "#0a84ff", PowerGroup::app, 4.5},
        {"app.editor", "编辑器", "app", "#5e5ce6", PowerGroup::app, 3.2},
        {"app.terminal", "终端", "app", "#64d2ff", PowerGroup::app, 1.8},
        {"app.music", "音乐", "app", "#ff375f", PowerGroup::app, 0.9},
        {"battery", "电池充电", "battery.100", "#30d158", PowerGroup::battery, 15.0},
    };
    return data;
}

void paintFrames(benchmark::State& state, SankeyView& view) {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    double time = 0;
    {
        // The first frame builds the cached scene; the timed ones are the steady animation.
        QPainter painter(&image);
        view.paintFrame(painter, QSizeF(kWidth, kHeight), time);
    }
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        view.paintFrame(painter, QSizeF(kWidth, kHeight), time);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
        time += kFrameSeconds;
    }
}

void BM_SankeyFrame(benchmark::State& state) {
    SankeyView view;
    view.setData(nineDestinations());
    paintFrames(state, view);
}

// A highlighted group: faded bands plus the pre-blurred glows of four bands.
void BM_SankeyFrameGroupHighlighted(benchmark::State& state) {
    SankeyView view;
    view.setData(nineDestinations());
    view.setHighlight(std::nullopt, PowerGroup::app);
    paintFrames(state, view);
}

// A new snapshot arrives (every few seconds): layout, texts, paths and glows rebuilt.
void BM_SankeyFrameAfterDataChange(benchmark::State& state) {
    SankeyView view;
    view.setHighlight("cpu", std::nullopt);
    JoulemapData data = nineDestinations();
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    double time = 0;
    for (auto _ : state) {
        data.destinations[1].power += 0.1;
        view.setData(data);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        view.paintFrame(painter, QSizeF(kWidth, kHeight), time);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
        time += kFrameSeconds;
    }
}

}  // namespace

// Process CPU time, so the raster engine's helper threads count too.
BENCHMARK(BM_SankeyFrame)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SankeyFrameGroupHighlighted)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SankeyFrameAfterDataChange)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

// Painting needs an application object, and this machine has no display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
