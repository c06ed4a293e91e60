// The chart window's own work: building the window and filling it with a
// calculated chart, capturing the display form, and drawing the wheel.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "bench/sample_person.h"
#include "chart/birth_form.h"
#include "chart/chart_run.h"
#include "gui/chart/chart_window.h"
#include "gui/chart/frm_display.h"
#include "gui/chart/natal_wheel.h"
#include "gui/chart/sign_glyphs.h"
#include "gui/common/user_dialogs.h"

namespace {

// Answers nothing: the benchmarks open no dialog.
class NoDialogs final : public qv::UserDialogs {
public:
    void message(QWidget*, const QString&, qv::MessageIcon) override {}
    std::optional<QString> saveFileName(QWidget*, const qv::FileDialogSettings&) override { return std::nullopt; }
    std::optional<QString> openFileName(QWidget*, const qv::FileDialogSettings&) override { return std::nullopt; }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
};

struct Chart {
    qv::ChartState state;
    qv::ChartWheel wheel;
    Chart() {
        if (qv::CalculateChartOf(qv::bench::LondonPerson(), state, wheel)) std::abort();  // the sample always charts
    }
};

// A new chart window filled with a chart (not shown): what a calculation
// adds to the click before the window appears.
void BM_ChartWindowFilled(benchmark::State& st) {
    Chart chart;
    NoDialogs dialogs;
    for (auto _ : st) {
        qv::ChartWindow window(chart.state, dialogs);
        qv::FrmDisplay* d = window.display();
        d->showPositions(chart.state);
        d->showWheel(chart.state, chart.wheel);
        d->showInterpretation(chart.state.InterpretationRuns);
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_ChartWindowFilled)->Unit(benchmark::kMillisecond);

// The capture taken at every activation of the chart window.
void BM_CaptureDisplayForm(benchmark::State& st) {
    Chart chart;
    NoDialogs dialogs;
    qv::ChartWindow window(chart.state, dialogs);
    window.display()->showWheel(chart.state, chart.wheel);
    window.display()->showInterpretation(chart.state.InterpretationRuns);
    for (auto _ : st) benchmark::DoNotOptimize(window.display()->captureClientArea());
}
BENCHMARK(BM_CaptureDisplayForm)->Unit(benchmark::kMillisecond);

// One paint of the wheel with its glyphs and house boxes, at 1x and 2x.
void BM_PaintWheel(benchmark::State& st) {
    Chart chart;
    NoDialogs dialogs;
    qv::ChartWindow window(chart.state, dialogs);
    window.display()->showWheel(chart.state, chart.wheel);
    qv::NatalWheel* wheel = window.display()->picNatal();
    const qreal scale = qreal(st.range(0));
    QImage image(wheel->size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    for (auto _ : st) {
        image.fill(Qt::white);
        wheel->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_PaintWheel)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Twelve glyphs drawn at the wheel's size.
void BM_PaintGlyphs(benchmark::State& st) {
    QImage image(24 * 12, 24, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : st) {
        image.fill(Qt::transparent);
        QPainter p(&image);
        for (int i = 1; i <= 12; ++i) qv::SignGlyphList::paint(p, QRectF(24 * (i - 1), 0, 24, 24), i, Qt::black);
    }
}
BENCHMARK(BM_PaintGlyphs)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
