// The birth-data form: the first window of the program and the one the chart
// window returns to. It collects one person's birth data, filters what can be
// typed into its boxes and checks the data before a chart is calculated.
#pragma once

#include <QMainWindow>

#include "app/birth_form.h"
#include "state/chart_state.h"
#include "ui/web_entries.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qv {

class UserDialogs;

class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    // Fills the lists and the fixed tables of `state` (time zones, body labels,
    // sign abbreviations) as the form opens.
    FrmMain(ChartState& state, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~FrmMain() override;

    // The form's contents as plain data, and back.
    BirthFormData formData() const;
    void setFormData(const BirthFormData& data);

    // The twelve checks (and the digits-only check of the coordinate boxes).
    // On a failure: the message, the focus and the direction it selects.
    bool ValidateInput();

signals:
    void calculateRequested();  // "&Get My Quorvane" and "Get My Natal &Chart"
    void openRequested();       // "&Open Previously Saved Reading"
    void closing();             // the form is being closed: the program ends

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void fillLists();
    void lookUpCoordinates();  // Command1
    // Checks one typed text against the box's filter; shows the refusal.
    bool acceptTyped(QLineEdit* box, const QString& typed);

    ChartState& state_;
    UserDialogs& dialogs_;

    QLineEdit* txtName = nullptr;
    QComboBox* cboMonth = nullptr;
    QComboBox* cboDate = nullptr;
    QComboBox* cboYear = nullptr;
    QComboBox* cboHour = nullptr;
    QComboBox* cboMinute = nullptr;
    QComboBox* cboTimeZone = nullptr;
    QCheckBox* chkDST = nullptr;
    QLineEdit* txtLatD = nullptr;
    QLineEdit* txtLatM = nullptr;
    QLineEdit* txtLonD = nullptr;
    QLineEdit* txtLonM = nullptr;
    QRadioButton* optLatSouth[2] = {nullptr, nullptr};
    QRadioButton* optLongEast[2] = {nullptr, nullptr};
    QButtonGroup* latGroup_ = nullptr;
    QButtonGroup* lonGroup_ = nullptr;
    QLineEdit* txtCity = nullptr;
    QLineEdit* txtState = nullptr;
    QLineEdit* txtCountry = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmdCalculate = nullptr;
    QPushButton* cmdOpen = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblWebLink_ = nullptr;
    HelpMenuEntries help_;
    QAction* mnuCalculate = nullptr;
    QAction* mnuExit = nullptr;
};

}  // namespace qv
