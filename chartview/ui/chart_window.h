// The chart window (object name "MDI"): menus, toolbar, banner, button bar,
// and the display form "frmDisplay" as its one child.
#pragma once

#include <QMainWindow>
#include <functional>

#include "app/chart_state.h"
#include "app/chart_wheel.h"

class QMdiArea;

namespace qv {

class UserDialogs;
class FrmDisplay;

class ChartWindow : public QMainWindow {
    Q_OBJECT
public:
    ChartWindow(ChartState& state, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~ChartWindow() override;

    // The display form, created on first use and filled with the
    // personal-data labels from the chart state.
    FrmDisplay* display();
    // Writes the position table, the wheel and the interpretation box.
    void showChart(const ChartWheel& wheel);
    // Where "Save As" reads the birth-data form's time-zone slot.
    void setZoneSlotProvider(std::function<int()> provider);

signals:
    void backRequested();        // "Back": close this window, show the birth-data form
    void newRequested();         // "New": the same
    void endProgramRequested();  // exit command, or closing through the window frame

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ChartState& state_;
    UserDialogs& dialogs_;
    QMdiArea* area_ = nullptr;
    FrmDisplay* display_ = nullptr;
    std::function<int()> zoneSlot_;
    bool leaving_ = false;  // set by Back/New so the close does not end the program
};

}  // namespace qv
