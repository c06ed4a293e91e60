// Start-up to the birth-data form shown, a letter typed into City to the
// atlas's places offered, a click on "&Get My Quorvane" to the chart window
// shown, and the memory the program holds with a chart open.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise
// (e.g. QT_QPA_PLATFORM=xcb under Xvfb).
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>
#include <fstream>
#include <string>

#include "bench/sample_person.h"
#include "chart/chart_run.h"
#include "gui/chart/chart_window.h"
#include "gui/common/user_dialogs.h"
#include "gui/form/frm_main.h"
#include "gui/startup/app_controller.h"
#include "state/time_zones.h"

namespace {

// Processes events until `widget` is on screen (at most two seconds).
bool WaitShown(QWidget* widget) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (widget->isVisible() && widget->windowHandle() && widget->windowHandle()->isExposed()) return true;
    }
    return false;
}

void DeleteLater() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Resident and peak resident memory in MB, from /proc/self/status.
double StatusMB(const std::string& key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024.0;
    return 0;
}

qv::BirthFormData Person() { return qv::bench::LondonForm(); }

// Answers nothing: no dialog opens on these roads.
class SilentDialogs final : public qv::UserDialogs {
public:
    int messages = 0;
    void message(QWidget*, const QString&, qv::MessageIcon) override { ++messages; }
    std::optional<QString> saveFileName(QWidget*, const qv::FileDialogSettings&) override { return {}; }
    std::optional<QString> openFileName(QWidget*, const qv::FileDialogSettings&) override { return {}; }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
};

void BM_StartupToFormShown(benchmark::State& state) {
    SilentDialogs dialogs;
    for (auto _ : state) {
        auto app = std::make_unique<qv::AppController>(dialogs);
        app->start();
        if (!WaitShown(app->form())) state.SkipWithError("the form was never shown");
        state.PauseTiming();
        app.reset();
        DeleteLater();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFormShown)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// One key as the keyboard delivers it to `box`.
void Key(QWidget* box, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(box, &press);
    QCoreApplication::sendEvent(box, &release);
}

// The first two letters typed into City to the places offered, the atlas
// read on the form's worker thread meanwhile: what a user meets once per run.
// The atlas is read once per process, so this is timed once per process:
// run it alone (--benchmark_filter=BM_FirstLettersToPlacesOffered), a
// process each time (bench/atlas.sh).
void BM_FirstLettersToPlacesOffered(benchmark::State& state) {
    SilentDialogs dialogs;
    qv::AppController app(dialogs);
    app.start();
    WaitShown(app.form());
    auto* city = app.form()->findChild<QLineEdit*>(QStringLiteral("txtCity"));
    city->setFocus();
    for (auto _ : state) {
        for (QChar c : QStringLiteral("Mo")) Key(city, Qt::Key_unknown, QString(c));
        auto* completer = app.form()->findChild<QCompleter*>();  // made at the first key press
        QElapsedTimer waited;
        waited.start();
        while ((!completer || !completer->popup()->isVisible()) && waited.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            completer = app.form()->findChild<QCompleter*>();
        }
        if (!completer || !completer->popup()->isVisible() || completer->popup()->model()->rowCount() == 0)
            state.SkipWithError("no places were offered");
    }
}
BENCHMARK(BM_FirstLettersToPlacesOffered)->Unit(benchmark::kMillisecond)->Iterations(1);

// A letter typed into City (or taken back) to the places offered for it:
// the look-up, the list filled and shown. The gazetteer is read first.
void BM_CityLetterToPlacesOffered(benchmark::State& state) {
    SilentDialogs dialogs;
    qv::AppController app(dialogs);
    app.start();
    WaitShown(app.form());
    auto* city = app.form()->findChild<QLineEdit*>(QStringLiteral("txtCity"));
    city->setFocus();
    for (QChar c : QStringLiteral("Chi")) Key(city, Qt::Key_unknown, QString(c));
    auto* completer = app.form()->findChild<QCompleter*>();  // made at the first key press
    if (!completer) {
        state.SkipWithError("City offers no places");
        return;
    }
    QAbstractItemView* places = completer->popup();
    QElapsedTimer waited;
    waited.start();
    while (!places->isVisible() && waited.elapsed() < 20000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!places->isVisible()) state.SkipWithError("no places were offered");
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            Key(city, Qt::Key_Backspace, QStringLiteral("\b"));
        else
            Key(city, Qt::Key_C, QStringLiteral("c"));
        typed = !typed;
    }
    if (!places->isVisible() || places->model()->rowCount() == 0 || dialogs.messages)
        state.SkipWithError("the places went away");
}
BENCHMARK(BM_CityLetterToPlacesOffered)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ClickToChartWindowShown(benchmark::State& state) {
    SilentDialogs dialogs;
    qv::AppController app(dialogs);
    app.start();
    WaitShown(app.form());
    app.form()->setFormData(Person());
    auto* calculate = app.form()->findChild<QPushButton*>(QStringLiteral("cmdCalculate"));
    for (auto _ : state) {
        calculate->click();
        if (!app.chartWindow() || !WaitShown(app.chartWindow())) state.SkipWithError("no chart window");
        state.PauseTiming();
        if (auto* back = app.chartWindow()->findChild<QPushButton*>(QStringLiteral("cmdBack"))) back->click();
        DeleteLater();
        WaitShown(app.form());
        state.ResumeTiming();
    }
    if (dialogs.messages) state.SkipWithError("the form refused the data");
}
BENCHMARK(BM_ClickToChartWindowShown)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Memory with the chart window open, after several charts came and went.
void BM_MemoryWithChartOpen(benchmark::State& state) {
    SilentDialogs dialogs;
    qv::AppController app(dialogs);
    app.start();
    WaitShown(app.form());
    app.form()->setFormData(Person());
    auto* calculate = app.form()->findChild<QPushButton*>(QStringLiteral("cmdCalculate"));
    for (auto _ : state) {
        calculate->click();
        WaitShown(app.chartWindow());
        state.PauseTiming();
        if (auto* back = app.chartWindow()->findChild<QPushButton*>(QStringLiteral("cmdBack"))) back->click();
        DeleteLater();
        state.ResumeTiming();
    }
    calculate->click();
    WaitShown(app.chartWindow());
    state.counters["rss_MB"] = StatusMB("VmRSS");
    state.counters["peak_rss_MB"] = StatusMB("VmHWM");
}
BENCHMARK(BM_MemoryWithChartOpen)->Unit(benchmark::kMillisecond)->Iterations(20);

// The parts of a click: the calculation alone, and the chart window built,
// filled and shown for a computed chart.
void BM_ClickPartCalculation(benchmark::State& state) {
    qv::ChartState chart;
    qv::LoadFixedLists(chart);
    const qv::BirthFormData person = Person();
    for (auto _ : state) {
        qv::ChartWheel wheel;
        benchmark::DoNotOptimize(qv::CalculateChartOfForm(person, chart, wheel));
        benchmark::DoNotOptimize(wheel);
    }
}
BENCHMARK(BM_ClickPartCalculation)->Unit(benchmark::kMillisecond);

void BM_ClickPartChartWindow(benchmark::State& state) {
    SilentDialogs dialogs;
    qv::ChartState chart;
    qv::ChartWheel wheel;
    if (qv::CalculateChartOf(qv::bench::LondonPerson(), chart, wheel)) state.SkipWithError("no chart");
    for (auto _ : state) {
        auto window = std::make_unique<qv::ChartWindow>(chart, dialogs);
        window->showChart(wheel);
        window->showMaximized();
        WaitShown(window.get());
        state.PauseTiming();
        window.reset();
        DeleteLater();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClickPartChartWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
