// The display form "frmDisplay": the personal data, the position table, the
// interpretation box "RTB" and the chart wheel "picNatal". It computes
// nothing; the chart window writes the calculated values into it.
#pragma once

#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "chart/chart_wheel.h"
#include "state/chart_state.h"

class QGroupBox;
class QLineEdit;

namespace qv {

class NatalWheel;

// A stretch of the interpretation box as it is shown: its own copy of the
// text, its colour and weight.
struct ShownRun {
    std::string text;
    std::uint8_t red = 0, green = 0, blue = 0;
    bool bold = false;
    bool operator==(const ShownRun&) const = default;
};

// The interpretation box. It is read-only and its text cannot be copied out:
// no selection, no copy key, no context menu, no drag. As a second line of
// defence it takes back text of its own from the clipboard whenever its
// content changes or the mouse is used over it; whatever else the clipboard
// holds is left alone.
class InterpretationBox : public QTextEdit {
    Q_OBJECT
public:
    explicit InterpretationBox(QWidget* parent = nullptr);

    // Replaces the whole content by `runs`, in order, each in its colour and
    // weight; every "\n" starts a new line. Nothing is added.
    void showRuns(const std::vector<StyledRun>& runs);
    // The runs as they stand in the box: text, colour and weight of each
    // stretch of equal format, line breaks as "\n". Neighbouring runs of the
    // same format come back joined.
    std::vector<ShownRun> shownRuns() const;

    // Empties the clipboard when it holds text taken from this box. Returns
    // true when it was emptied. Unless `always`, the clipboard is looked at
    // only when it changed since the last look.
    bool guardClipboard(bool always = true);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Ctrl and the wheel zoom the whole form (the chart window does that),
    // not this box's text alone.
    void wheelEvent(QWheelEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    bool clipboardChecked_ = false;  // the clipboard has not changed since it was last looked at
    bool filling_ = false;           // showRuns is writing the text
};

// True when `clipboardText` is a piece of `boxText` long enough to be the
// box's interpretation rather than a word that happens to occur in it
// (blanks and line breaks are compared loosely).
bool IsTextTakenFromBox(const QString& clipboardText, const QString& boxText);

// A personal-data label: one line that ends in "…" where the text is wider
// than the label, on screen and in the picture. The whole text stays the
// label's text and its tooltip. Wrapped (on paper, where there is room), it
// shows the whole text on as many lines as it needs.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    // The line as it is drawn while not wrapped.
    QString shownText() const;
    // Wrapped: broken at blanks, and inside a word too long for a line.
    void setWrapped(bool wrapped);
    bool isWrapped() const { return wrapped_; }
    // The lines of the whole text wrapped at `width` pixels.
    QStringList wrappedLines(int width) const;
    // The height the wrapped text needs at `width` pixels.
    int wrappedHeight(int width) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool wrapped_ = false;
};

class FrmDisplay : public QWidget {
    Q_OBJECT
public:
    // Creates the form and runs its load: the eight personal-data labels are
    // written from `state`.
    explicit FrmDisplay(const ChartState& state, QWidget* parent = nullptr);

    // The client area's designed size: 9540 x 8010 twips.
    static QSize clientSize();
    // The client area's size at `scale` times the designed size.
    static QSize clientSize(double scale);

    // The whole form at `scale` times its designed size (never below it):
    // every region, label and type in proportion, the wheel and the text
    // drawn anew at that size. 1 is the designed size.
    void setScale(double scale);
    double scale() const { return scale_; }
    // Runs `work` with the form at `scale` (never below 1), then restores
    // the scale it was shown at; the interpretation stays scrolled to the
    // same part of its text. Pictures are drawn this way at their size.
    void atScale(double scale, const std::function<void()>& work);
    // atScale(1): printing is made at the designed size.
    void atDesignedSize(const std::function<void()>& work) { atScale(1.0, work); }

    // Form load: "Name: ...", "Date of Birth: ...", and the other six lines.
    void loadPersonalData(const ChartState& state);
    // Planet(k) = PlanetPosition[k] for k = 0..10; the table's heading says
    // when the positions come from the ephemeris.
    void showPositions(const ChartState& state);
    // The wheel: sign boxes filled and hidden, house boxes, sign pictures,
    // lblLagna and lblRashi; the boxes name the bodies by the state's labels.
    void showWheel(const ChartState& state, const ChartWheel& wheel);
    // The interpretation box from the analysis' styled runs.
    void showInterpretation(const std::vector<StyledRun>& runs);
    // The whole calculated chart: positions, wheel and interpretation, with
    // the note of an unknown birth time after the house types.
    void showChart(const ChartState& state, const ChartWheel& wheel);
    // The lines the chart window shows under the form (the birth moment, the
    // time window), kept here for the printed page, which puts them under
    // the chart.
    void setChartNotes(const QStringList& notes) { chartNotes_ = notes; }
    const QStringList& chartNotes() const { return chartNotes_; }

    // Draws the client area afresh at its designed size (as a picture does:
    // no scroll bar, no frame), keeps it in the hidden "Picture1" and
    // returns it, at the screen's pixel ratio.
    QPixmap captureClientArea();
    // The latest capture (null before the first).
    QPixmap picture() const { return picture_; }
    // True while a picture of the form is drawn: the window's marks, as the
    // focus ring, stay out of it.
    bool drawingPicture() const { return drawingPicture_; }
    void setDrawingPicture(bool drawing) { drawingPicture_ = drawing; }

    InterpretationBox* RTB() const { return rtb_; }
    NatalWheel* picNatal() const { return wheel_; }
    QGroupBox* Frame1() const { return frame1_; }          // "Personal Information"
    QGroupBox* fraWestern() const { return fraWestern_; }  // "Planetary Positions"
    QLabel* lblLagna() const { return lblLagna_; }
    QLabel* lblRashi() const { return lblRashi_; }
    QLabel* planet(int index) const { return planet_[index]; }          // Planet(0..15)
    QLabel* planetName(int index) const { return planetName_[index]; }  // PlanetName(0..16)
    QLabel* personalLabel(const char* name) const;                      // e.g. "lblName"
    // The caption label of the table's row for position slot 0..10 (the row
    // that shows PlanetPosition[slot]); its accessible name is the row in
    // words. The slot of such a label, -1 for any other widget.
    static constexpr int kPositionCount = 11;
    QLabel* positionRow(int slot) const;
    int positionSlotOf(const QWidget* widget) const;
    // The hidden boxes that remember the last picture saved.
    QLineEdit* txtFolder() const { return txtFolder_; }
    QLineEdit* txtFile() const { return txtFile_; }

private:
    void buildPersonalData();
    void buildPositionTable();
    void buildHiddenControls();
    // Keeps the designed place and type of every control the form places.
    void keepDesign();
    // The position table's heading in the form's heading type at this
    // scale, smaller where the frame is too narrow for it.
    void fitPositionHeading();

    // A control's designed rectangle (pixels) and type (points, 0 when it
    // takes its parent's).
    struct DesignedPlace {
        QPointer<QWidget> widget;
        QRect rect;
        double points = 0.0;
    };
    std::vector<DesignedPlace> design_;
    double scale_ = 1.0;
    std::string unknownTimeNote_;  // the note under a chart whose birth time is not known

    InterpretationBox* rtb_ = nullptr;
    NatalWheel* wheel_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QGroupBox* fraWestern_ = nullptr;
    std::array<ElidedLabel*, 8> personal_{};
    std::array<QLabel*, 17> planetName_{};
    std::array<QLabel*, 16> planet_{};
    QLabel* lblLagna_ = nullptr;
    QLabel* lblRashi_ = nullptr;
    QLabel* picture1_ = nullptr;
    QLineEdit* txtFolder_ = nullptr;
    QLineEdit* txtFile_ = nullptr;
    QPixmap picture_;
    QStringList chartNotes_;
    bool drawingPicture_ = false;
};

}  // namespace qv
