// The chart window (object name "MDI"): menus, toolbar, banner, button bar,
// and the display form "frmDisplay" as its one child.
#pragma once

#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <string>

#include "chart/chart_wheel.h"
#include "formats/picture_format.h"
#include "gui/common/web_entries.h"
#include "state/chart_state.h"

class QAction;
class QLabel;
class QMdiArea;
class QPushButton;
class QToolBar;

namespace qv {

class UserDialogs;
class FrmDisplay;
class AspectPanel;

// Left edges (twips) of the button bar's buttons and of the banner's title
// for a window `windowWidth` twips wide (outer width, frame included). The
// buttons end 300 twips short of the right edge, 100 twips apart; nothing is
// clamped, so a narrow window gives negative lefts.
struct BarLayout {
    int cmdExitLeft = 0;
    int cmdBackLeft = 0;
    int cmdSaveAsJpegLeft = 0;
    int lblHeadingLeft = 0;
};
BarLayout ComputeBarLayout(int windowWidth, int headingWidth);

// Left edge (pixels) of a form `formWidth` wide centred in an area
// `areaWidth` wide; never left of 0, so a narrow area scrolls from the
// form's left edge.
int CentredLeft(int areaWidth, int formWidth);

// The display form's zoom: each step of Zoom In and Zoom Out, and the largest
// scale of the designed size it goes to.
inline constexpr double kZoomStep = 1.25;
inline constexpr double kLargestDisplayScale = 4.0;

// The scale at which a form of `designed` size, with `decoration` around it
// (its frame's title and borders), fills `room` in both directions; at least
// 1, the designed size, where the room is smaller.
double FittingScale(QSize room, QSize designed, QSize decoration);

class ChartWindow : public QMainWindow {
    Q_OBJECT
public:
    ChartWindow(ChartState& state, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~ChartWindow() override;

    // The display form, created on first use and filled with the
    // personal-data labels from the chart state.
    FrmDisplay* display();
    // Writes the position table, the wheel and the interpretation box, and
    // shows the window (maximised, the display form centred at the top).
    void showChart(const ChartWheel& wheel);
    // The lines under the display form, outside its layout: the moment the
    // chart was calculated for (BirthMomentLine) and how much of it rests on
    // the birth minute (TimeWindowLineOf). They go on the printed page too.
    void setChartNotes(const QString& birthMoment, const QString& timeWindow);
    QLabel* birthMomentLine() const { return lblBirthMoment_; }
    QLabel* timeWindowLine() const { return lblTimeWindow_; }

    // The frame of the display form inside the window's area.
    QMdiSubWindow* displayFrame() const { return displayFrame_; }
    QMdiArea* area() const { return area_; }
    // The aspect grid beside the display form and the wheel's aspect lines.
    AspectPanel* aspectPanel() const { return aspects_; }
    QToolBar* toolBar() const { return tb_; }
    QWidget* buttonBar() const { return buttonBar_; }  // "Picture1" of the window
    QWidget* banner() const { return picTop_; }

    // The scale at which the display form fills the window's area (at least 1).
    double fillingScale() const;
    // The display form's scale: the one that fills the window's area, times
    // the zoom the user chose, from the designed size (1) to
    // kLargestDisplayScale.
    double displayScale() const;
    // The zoom on top of filling the area: 1 until Zoom In or Zoom Out.
    double zoom() const { return zoom_; }

    // The parts Tab goes to, in order: the chart's (the interpretation, the
    // positions), those of the window's other panels in their order, then
    // the buttons left to right. Menus and the toolbar are not among them.
    QList<QWidget*> focusChain() const;
    // Tab (forward) or Shift+Tab: the focus to the next part of the chain,
    // round from the last to the first; false when no part takes it.
    bool moveFocus(bool forward);

public slots:
    // Activate: centres the display form in the window's area, at the top,
    // and keeps a capture of it for "Save As JPEG".
    void activateChart();
    // Resize: places the buttons and the banner's labels for the window's
    // width, and shows only the bar's links that fit left of the buttons.
    void layoutBars();
    // Toolbar button by key: "New", "Save", "Picture", "Print", "Help";
    // others do nothing.
    void toolbarButton(const QString& key);
    // View > Zoom In, Zoom Out: one step larger or smaller, never below the
    // designed size. Actual Size: back to the size that fills the area.
    void zoomIn();
    void zoomOut();
    void actualSize();

signals:
    void backRequested();         // "Back": close this window, show the birth-data form
    void newRequested();          // "New": the same
    void endProgramRequested();   // exit command, or closing through the window frame
    void saveReadingRequested();  // "Save As" and the toolbar's "Save"

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QMenu* createPopupMenu() override;

private:
    void buildMenus();
    void buildToolBar();
    void buildBanner();
    void buildButtonBar();
    void buildNotes();
    void loadCheckMarks();
    // Scales the display form for the area and the zoom, then places it.
    void fitDisplayForm();
    // Centres the display form at the top of the area, scrolled to its start.
    void placeDisplayForm();
    void updateZoomEntries();
    // The display form's parts take the focus as the chain wants them.
    void prepareFocus();
    // Tab and Shift+Tab anywhere in the window, and the focus ring; true
    // when the event was handled.
    bool keyboardEvent(QObject* watched, QEvent* event);
    // Runs `handler` for a click on `action`, undoing Qt's own toggle of a
    // checkable entry first: the handlers set every check mark themselves.
    void onClick(QAction* action, std::function<void()> handler);

    // Handlers of the menu entries and buttons.
    void newChart();
    void back();
    void exitProgram();
    void toggleToolBar();
    void toggleStatusBar();
    void chooseStyle(QAction* style);
    void setColourStyle(bool on);
    void showChartForm();
    void chooseDivisional(QAction* chart);
    void exportText();
    void saveJpeg();
    void savePicture();
    void print();
    void openPage(WebPage page);

    ChartState& state_;
    UserDialogs& dialogs_;
    QMdiArea* area_ = nullptr;
    FrmDisplay* display_ = nullptr;
    QString lastJpegName_;                         // offered again by the next "Save As JPEG"
    QString lastPictureName_;                      // and by the next "Save As Picture",
    int lastPictureWidth_ = kDefaultPictureWidth;  // with its width
    bool leaving_ = false;                         // set by Back/New so the close does not end the program
    AspectPanel* aspects_ = nullptr;

    // Menu entries, by their object names.
    QAction* mnuToolBar_ = nullptr;
    QAction* mnuStatusBar_ = nullptr;
    std::array<QAction*, 3> mnuStyles_{};  // mnuNorth, mnuSouth, mnuNatal
    QAction* mnuColorOn_ = nullptr;
    QAction* mnuColorOff_ = nullptr;
    QAction* mnuChart_ = nullptr;
    std::array<QAction*, 6> mnuDivisional_{};  // mnuSub_Hora … mnuSub_Dwadasamsa
    QAction* mnuZoomIn_ = nullptr;
    QAction* mnuZoomOut_ = nullptr;
    QAction* mnuActualSize_ = nullptr;
    double zoom_ = 1.0;
    QSize frameDecoration_;  // the display form's frame around the form

    QPointer<QMdiSubWindow> displayFrame_;
    QToolBar* tb_ = nullptr;
    QWidget* picTop_ = nullptr;
    QLabel* lblHeading_ = nullptr;
    QLabel* bannerLink_ = nullptr;
    QWidget* buttonBar_ = nullptr;
    QWidget* notes_ = nullptr;  // "staChart": the two lines under the display form
    QLabel* lblBirthMoment_ = nullptr;
    QLabel* lblTimeWindow_ = nullptr;
    QPushButton* cmdSaveAsJPEG_ = nullptr;
    QPushButton* cmdBack_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
    std::array<QLabel*, 3> barLinks_{};  // "Online Help", "Visit Us Online", "Donate"
};

}  // namespace qv
