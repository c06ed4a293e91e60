// The chart window's aspect panel: the grid in a frame of its own
// ("frmAspects") beside the display form, shown by default, and the aspect
// lines in the wheel, off by default; View > Aspects and View > Aspect Lines
// ("mnuAspects", "mnuAspectLines") show and hide them. Both follow the
// display form's scale.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include "state/chart_state.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace qv {

class AspectGrid;
class AspectLines;
class NatalWheel;

class AspectPanel : public QObject {
    Q_OBJECT
public:
    // The panel for `area`; its frame is made with the display form's
    // (attachWheel) and hidden until a chart is shown.
    AspectPanel(QMdiArea* area, QObject* parent = nullptr);

    // The two entries, checkable, at the end of `view`.
    void addMenuEntries(QMenu* view);
    // The wheel the lines are drawn in.
    void attachWheel(NatalWheel* wheel);
    // The chart's aspects into the grid and the lines.
    void showChart(const ChartState& state);

    // Whether the grid is shown beside the display form.
    bool gridShown() const;
    void setGridShown(bool shown);
    bool linesShown() const;
    void setLinesShown(bool shown);

    // The display form of `form` designed size with the grid beside it, and
    // what the frames and the gap add around them (not scaled).
    QSize designedWith(QSize form) const;
    QSize decorationWith(QSize formDecoration) const;
    // The grid at the display form's scale.
    void setScale(double scale);
    // Width the panel takes right of the display form's frame, gap included;
    // 0 while hidden.
    int widthBeside() const;
    // Places the frame beside the display form's frame, tops level.
    void placeBeside(const QRect& displayFrame);

    AspectGrid* grid() const { return grid_; }  // none before the display form
    AspectLines* lines() const;
    QMdiSubWindow* frame() const;
    QAction* aspectsEntry() const { return mnuAspects_; }
    QAction* linesEntry() const { return mnuAspectLines_; }

signals:
    // The grid was shown or hidden: the display form and the panel need
    // fitting to the area anew.
    void layoutChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeFrame();

    QMdiArea* area_;
    AspectGrid* grid_ = nullptr;
    QPointer<QMdiSubWindow> frame_;
    QPointer<AspectLines> lines_;
    QAction* mnuAspects_ = nullptr;
    QAction* mnuAspectLines_ = nullptr;
    bool hasChart_ = false;
    QSize decoration_;  // the frame around the grid
};

}  // namespace qv
