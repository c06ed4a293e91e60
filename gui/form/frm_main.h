// The birth-data form: the first window of the program and the one the chart
// window returns to. It collects one person's birth data, filters what can be
// typed into its boxes and checks the data before a chart is calculated.
#pragma once

#include <QMainWindow>
#include <optional>
#include <vector>

#include "atlas/places.h"
#include "chart/birth_form.h"
#include "chart/birth_place.h"
#include "chart/place_assistant.h"
#include "gui/common/web_entries.h"
#include "state/chart_state.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QCompleter;
class QGroupBox;
class QHBoxLayout;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QRadioButton;
class QStandardItemModel;
class QThread;

namespace qv {

class UserDialogs;
class NoteLine;

class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    // Fills the lists and the fixed tables of `state` (time zones, body labels,
    // sign abbreviations) as the form opens.
    FrmMain(ChartState& state, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~FrmMain() override;

    // The form's contents as plain data, and back. Data set from outside (a
    // reading) is no longer the atlas's place.
    BirthFormData formData() const;
    void setFormData(const BirthFormData& data);

    // "Precise positions": the chart's positions from the ephemeris. Kept
    // for the session only; not part of the birth data or a reading.
    bool precisePositions() const;

    // The form's checks (CheckBirthForm): the birth data the form holds, or
    // nullopt after a failure's message, focus and the direction it selects.
    // While the atlas chose the zone, a birth time the place's clocks skipped
    // is refused as well. With `askAtlas` (Get My Quorvane), a zone or City
    // that the atlas contradicts is asked about once (PlaceAssistant::question):
    // the atlas's answer changes the form first, "go back" gives nullopt.
    std::optional<BirthData> checkedBirthData(bool askAtlas = false);

    // The IANA zone of the atlas place whose clock the chart may take (the
    // time window's edges on that clock); empty for none.
    std::string chartZoneId() const { return assistant_.chartZoneId(); }
    // The same checks, answering only whether they passed.
    bool ValidateInput() { return checkedBirthData().has_value(); }

signals:
    void calculateRequested();  // "&Get My Quorvane" and "Get My Natal &Chart"
    void openRequested();       // "&Open Previously Saved Reading"
    void closing();             // the form is being closed: the program ends

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QWidget* buildBanner(QWidget* parent);
    QGroupBox* buildBirthGroup(QWidget* parent);  // name, date, time, zone, the atlas line
    QGroupBox* buildPlaceGroup(QWidget* parent);  // coordinates, city, state, country
    QHBoxLayout* buildButtonRow(QWidget* parent);
    void setTabOrderAndFilters();
    // Puts the form in a scroll area, the button row under it, and sizes the
    // window for the screen.
    void fitIntoScreen();
    // The screen's work area less the desktop's title bar; empty without a screen.
    QRect workArea() const;
    // The window taller by what the form lacks, up to the work area.
    void growWithForm();
    void buildMenus();
    void fillLists();
    void lookUpCoordinates();  // Command1
    // Checks one typed text against the box's filter; shows the refusal.
    bool acceptTyped(QLineEdit* box, const QString& typed);
    // True when a key pressed in `box` is refused (and its message shown).
    bool refuseKey(QLineEdit* box, QKeyEvent* key);
    void fillFields(const BirthFormData& data);
    // While the atlas chose the zone: a skipped time or no row, with its message.
    bool refuseAtlasClock();

    // The atlas: completions for City, the place chosen, its clock.
    void buildAtlas();
    void buildPlaceList();  // at the first key press in City, not before
    void loadAtlas();       // on a worker thread, once
    void atlasLoaded();
    void offerPlaces();  // City edited by the user
    void showPlaces();   // the atlas's matches of City, in its list
    void choosePlace(const QModelIndex& index);
    void chooseZoneAgain();           // the date or time changed
    void showAtlasLine();             // what the assistant says, under the zone row
    void forgetAtlasPlace();          // other birth data put in
    void keepZoneByHand();            // zone or box changed by the user
    void chooseZoneByHand(int item);  // a zone item chosen: a row takes the exact clock's entry away
    // The zone item, box and exact clock of `data` into the lists, the entry
    // after the rows named for `place`.
    void setZoneFields(const BirthFormData& data, const std::string& place);
    // The exact clock's entry after the rows, or none.
    void showExactClock(const std::optional<ExactClock>& clock, const std::string& place);
    void useNearbyZone();          // cmdNearbyZone
    void keepCoordinatesByHand();  // a coordinate or direction changed by the user
    // The question before a chart the atlas contradicts; false for "go back".
    bool confirmAgainstAtlas();
    // The atlas read, on this thread when the loader has not finished.
    void waitForAtlas();

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
    QCheckBox* chkTimeUnknown = nullptr;  // "Birth time unknown"
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
    QPushButton* cmdNearbyZone = nullptr;
    QCheckBox* chkPrecise = nullptr;
    QPushButton* cmdCalculate = nullptr;
    QPushButton* cmdOpen = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblWebLink_ = nullptr;
    QWidget* buttonRow_ = nullptr;    // "frmMainButtons", outside the scrolling part
    NoteLine* lblAtlas = nullptr;     // what the atlas found, under the zone row
    NoteLine* lblCityNote = nullptr;  // a search of the atlas that found nothing, under City

    QCompleter* placeCompleter_ = nullptr;
    QStandardItemModel* placeModel_ = nullptr;
    std::vector<Place> offeredPlaces_;
    PlaceAssistant assistant_;              // what the form holds of the atlas
    std::optional<ExactClock> exactClock_;  // the zone list's entry after the rows
    QThread* atlasLoader_ = nullptr;
    HelpMenuEntries help_;
    QAction* mnuCalculate = nullptr;
    QAction* mnuExit = nullptr;
};

}  // namespace qv
