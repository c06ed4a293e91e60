// The chart's aspects on screen: the grid "picAspects" (the triangle of the
// eleven points, each cell the aspect's symbol and its orb), the panel
// "frmAspects" that holds it beside the display form, and the aspect lines
// drawn in the wheel's hub. A screen reader reads the grid as a list, one
// item per aspect ("Sun trine Moon, orb 2°21′, applying").
#pragma once

#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QWidget>
#include <array>

#include "state/chart_state.h"

class QPainter;

namespace qv {

class NatalWheel;

// The grid's size at the designed scale, in pixels.
QSizeF AspectGridDesignedSize();

// Paints the grid of `aspects` with its top left at the painter's origin, at
// `scale` times the designed size, in the type of `font` (its family).
void PaintAspectGrid(QPainter& painter, const ChartAspects& aspects, double scale, const QFont& font);

class AspectGrid : public QWidget {
    Q_OBJECT
public:
    explicit AspectGrid(QWidget* parent = nullptr);
    void setAspects(const ChartAspects& aspects);
    const ChartAspects& aspects() const { return aspects_; }
    // The grid at `scale` times its designed size.
    void setScale(double scale);
    double scale() const { return scale_; }

    // The aspects as list items, in the list's order.
    int itemCount() const { return aspects_.computed ? aspects_.count : 0; }
    QString itemText(int index) const;
    // The cell of item `index` (its symbol and orb) in this widget.
    QRect itemRect(int index) const;
    // The texts a cell shows: the symbol's name and the orb ("2°21′", with
    // "?" when it rests on the birth time); empty for a pair without aspect.
    // Row and column are position slots, column < row.
    QString cellText(int row, int column) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    ChartAspects aspects_;
    double scale_ = 1.0;
};

// The aspect lines in the wheel's hub: a child laid over the whole wheel
// that lets the mouse through and paints only inside the hub.
class AspectLines : public QWidget {
    Q_OBJECT
public:
    explicit AspectLines(NatalWheel* wheel);
    // The points' longitudes, the ascendant's sign (house 1) and the aspects.
    void setChart(const ChartState& state);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    NatalWheel* wheel_;
    std::array<double, 11> longitude_{};
    int ascendantSign_ = 0;
    ChartAspects aspects_;
};

// Installs the list the screen reader reads for every AspectGrid. Safe to
// call again.
void InstallAspectGridAccessibility();

}  // namespace qv
