#include "gui/startup/app_controller.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <exception>

#include "chart/chart_moment.h"
#include "chart/chart_run.h"
#include "gui/chart/chart_window.h"
#include "gui/common/user_dialogs.h"
#include "gui/form/frm_main.h"
#include "gui/form/reading_commands.h"

namespace qv {

namespace {

// How often a reading given while a dialog is open looks again.
constexpr int kModalRetryMs = 250;

}  // namespace

AppController::AppController(UserDialogs& dialogs, QObject* parent)
    : QObject(parent), dialogs_(dialogs), form_(std::make_unique<FrmMain>(state_, dialogs)) {
    connect(form_.get(), &FrmMain::calculateRequested, this, [this] { calculate(true); });
    connect(form_.get(), &FrmMain::openRequested, this, &AppController::OpenReading);
    connect(form_.get(), &FrmMain::closing, this, &AppController::EndProgram);
}

AppController::~AppController() {
    if (chart_) {
        chart_->disconnect(this);
        delete chart_.data();
    }
}

ChartWindow* AppController::chartWindow() const { return chart_.data(); }

void AppController::start() {
    if (!placed_) {
        // The first time, in the middle of the screen.
        placed_ = true;
        if (QScreen* screen = form_->screen()) {
            const QRect area = screen->availableGeometry();
            QRect frame = form_->frameGeometry();
            frame.moveCenter(area.center());
            // A window taller or wider than the work area starts at its top
            // left corner, where its title and menu bar can be seen.
            frame.moveTopLeft(QPoint(std::max(frame.left(), area.left()), std::max(frame.top(), area.top())));
            form_->move(frame.topLeft());
        }
    }
    form_->show();
    form_->raise();
    form_->activateWindow();
}

ChartWindow* AppController::ensureChartWindow() {
    if (chart_) return chart_;
    wheel_ = ChartWheel{};  // a fresh display form starts from its design captions
    auto* window = new ChartWindow(state_, dialogs_);
    connect(window, &ChartWindow::saveReadingRequested, this,
            [this, window] { SaveReadingCommand(window, state_, dialogs_, state_.ReadingFileName); });
    connect(window, &ChartWindow::backRequested, this, [this] { leaveChartWindow(false); });
    connect(window, &ChartWindow::newRequested, this, [this] { leaveChartWindow(true); });
    connect(window, &ChartWindow::endProgramRequested, this, &AppController::EndProgram);
    chart_ = window;
    return window;
}

void AppController::CalculateChart() { calculate(false); }

void AppController::calculate(bool askAtlas) {
    if (ending_) return;
    const std::optional<BirthData> birth = form_->checkedBirthData(askAtlas);
    if (!birth) return;
    // The window (and its display form) is created after the state holds
    // the new birth data, so its personal-data labels show this person.
    const bool fresh = !chart_;
    ChartWheel wheel = fresh ? ChartWheel{} : wheel_;
    const bool precise = form_->precisePositions();
    if (precise && !precise_) {
        dialogs_.message(form_.get(), QStringLiteral("Precise positions are not available in this build."),
                         MessageIcon::Error);
        return;
    }
    try {
        if (const auto refused = RunChartCalculation(*birth, state_, wheel, precise ? precise_ : PreciseEngine{})) {
            dialogs_.message(form_.get(), QString::fromStdString(*refused), MessageIcon::Error);
            return;
        }
    } catch (const std::exception&) {
        dialogs_.message(form_.get(), QStringLiteral("The chart could not be calculated."), MessageIcon::Error);
        return;
    }
    ChartWindow* window = ensureChartWindow();
    wheel_ = wheel;
    window->setChartNotes(
        QString::fromStdString(BirthMomentLine(state_)),
        QString::fromStdString(TimeWindowLineOf(state_, precise ? precise_ : PreciseEngine{}, form_->chartZoneId())));
    window->showChart(wheel_);  // fills the window and shows it maximised
    if (!window->isVisible()) window->showMaximized();
    form_->hide();
}

void AppController::OpenReading() {
    if (ending_) return;
    std::optional<BirthFormData> restored = OpenReadingCommand(form_.get(), dialogs_);
    if (!restored) return;
    form_->setFormData(*restored);
    CalculateChart();
}

void AppController::OpenGivenReading(const QString& file) {
    if (ending_) return;
    if (QWidget* dialog = QApplication::activeModalWidget()) {
        // Opening now would change the chart under a question the user has
        // not answered (a save dialog saves the chart on show).
        dialog->raise();
        dialog->activateWindow();
        QTimer::singleShot(kModalRetryMs, this, [this, file] { OpenGivenReading(file); });
        return;
    }
    raiseCurrentWindow();
    QWidget* shown = (chart_ && chart_->isVisible()) ? static_cast<QWidget*>(chart_.data()) : form_.get();
    std::optional<BirthFormData> restored = OpenReadingFile(shown, dialogs_, LocalFilePath(file));
    if (!restored) return;
    // From the chart window the user would go "Back" and open it there.
    if (chart_ && chart_->isVisible()) leaveChartWindow(false);
    form_->setFormData(*restored);
    CalculateChart();
}

void AppController::leaveChartWindow(bool showFormFirst) {
    ChartWindow* window = chart_.data();
    if (showFormFirst) start();
    if (window) {
        // This close only unloads the chart; it must not end the program.
        window->disconnect(this);
        chart_ = nullptr;
        window->close();
        window->deleteLater();
    }
    if (!showFormFirst) start();
}

void AppController::EndProgram() {
    if (ending_) return;
    ending_ = true;
    // Every window of the program that is still open, in the platform's order.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        const bool ours = w == form_.get() || (chart_ && w == chart_.data());
        if (ours || (w->isVisible() && w->isWindow() && w->windowType() != Qt::Popup)) w->close();
    }
    emit programEnded();
}

void AppController::raiseCurrentWindow() {
    if (ending_) return;
    QWidget* w = (chart_ && chart_->isVisible()) ? static_cast<QWidget*>(chart_.data()) : form_.get();
    if (!w->isVisible()) w->show();
    if (w->isMinimized()) w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->raise();
    w->activateWindow();
}

}  // namespace qv
