// The program's spine: the one chart state, the birth-data form, the chart
// window, the calculation that leads from one to the other, and the end.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <utility>

#include "chart/chart_wheel.h"
#include "state/chart_state.h"
#include "state/engine.h"

namespace qv {

class ChartWindow;
class FrmMain;
class UserDialogs;

class AppController : public QObject {
    Q_OBJECT
public:
    explicit AppController(UserDialogs& dialogs, QObject* parent = nullptr);
    ~AppController() override;

    // The engine behind the form's "Precise positions"; without one a
    // ticked box refuses the calculation with a message.
    void setPreciseEngine(PreciseEngine engine) { precise_ = std::move(engine); }

    // Shows the birth-data form.
    void start();

    // Checks the form; on success computes the chart (precisely when the
    // form's box is ticked), shows it in the chart window (a fresh one after
    // Back or New) and hides the form. A chart the engine cannot give is
    // refused with its message; the form and the chart shown stay as they
    // were.
    void CalculateChart();
    // The same for "Get My Quorvane": a zone or City the atlas contradicts
    // is asked about first (FrmMain::checkedBirthData).
    void CalculateAskingAtlas() { calculate(true); }
    // "&Open Previously Saved Reading": restores the form from a file and
    // calculates it.
    void OpenReading();
    // A reading given to the program, on its command line or by a second
    // start: brings the program forward and opens the file as "Open
    // Previously Saved Reading" opens a chosen one. A chart on show is left
    // as "Back" leaves it, once the file has been read. While one of the
    // program's dialogs is open, the reading waits until it closes.
    void OpenGivenReading(const QString& file);
    // Closes every window of the program and ends it; nothing is asked.
    void EndProgram();

    // Brings the visible window forward (a second start asked for it).
    void raiseCurrentWindow();

    ChartState& state() { return state_; }
    FrmMain* form() const { return form_.get(); }
    ChartWindow* chartWindow() const;
    bool ended() const { return ending_; }

signals:
    // The program is over; the application's event loop should stop.
    void programEnded();

private:
    void calculate(bool askAtlas);
    ChartWindow* ensureChartWindow();
    void leaveChartWindow(bool showFormFirst);  // Back (false) and New (true)

    UserDialogs& dialogs_;
    ChartState state_;
    ChartWheel wheel_;
    PreciseEngine precise_;
    std::unique_ptr<FrmMain> form_;
    QPointer<ChartWindow> chart_;
    bool ending_ = false;
    bool placed_ = false;
};

}  // namespace qv
