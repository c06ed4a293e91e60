// The chart wheel "picNatal" of the display form: twelve house sectors with
// house 1 at the left and the houses counter-clockwise (house 10 at the top),
// the house boxes "lblNatal", the sign pictures "imgSign", the fixed house
// numbers "lblNatalPosition" and the twelve sign boxes "lblNatalAries" ...
// "lblNatalPisces" that collect the bodies before the houses are filled.
#pragma once

#include <QLabel>
#include <QPointF>
#include <QStringList>
#include <QWidget>
#include <array>
#include <optional>

#include "chart/house_layout.h"

class QPainter;

namespace qv {

class SignImage;

// How a house box's lines stand in the wheel (chart/house_layout.h), in
// the wheel's pixels.
using HouseArrangement = HouseLayout;

// One house box: holds the text the calculation joined (a line break before
// each body) and shows the house's bodies one per line, and "Asc" last in
// the banner colour when the ascendant is in the house. The wheel arranges
// the lines inside the house's sector: in smaller type down to a legible
// floor, then in two columns. Only a house too crowded even for that reaches
// over its lines, which are then drawn over its backing and under its text.
class HouseBox : public QLabel {
    Q_OBJECT
public:
    explicit HouseBox(QWidget* parent = nullptr);
    // The box's text, and the labels and ascendant it shows.
    void setHouse(const QString& text, const QStringList& labels, bool ascendant);
    // The lines the box shows: the labels, blanks trimmed, then "Asc".
    QStringList shownLines() const;
    // True for the shown line `i` that is the ascendant's (drawn bold).
    bool isAscendantLine(qsizetype i) const { return ascendant_ && i == labels_.size(); }
    // The type of a line, `pixels` high.
    QFont lineFont(int pixels, bool ascendant) const;
    // Takes the wheel's arrangement and covers its lines.
    void setArrangement(const HouseArrangement& arrangement);
    const HouseArrangement& arrangement() const { return arrangement_; }
    // One column in the box's own type.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList labels_;
    bool ascendant_ = false;
    HouseArrangement arrangement_;
};

class NatalWheel : public QWidget {
    Q_OBJECT
public:
    explicit NatalWheel(QWidget* parent = nullptr);

    HouseBox* houseBox(int element) const { return lblNatal_[element]; }           // lblNatal(0..11)
    SignImage* signImage(int element) const { return imgSign_[element]; }          // imgSign(0..11)
    QLabel* houseNumber(int element) const { return lblNatalPosition_[element]; }  // lblNatalPosition(0..11)
    QLabel* signBox(int sign) const { return signBoxes_[sign]; }                   // 0 Aries … 11 Pisces

    // Writes house box `element` (house element+1) and places it in its sector.
    void setHouse(int element, const QString& text, const QStringList& labels, bool ascendant);
    // Places every child in its sector; runs on every resize.
    void placeChildren();
    // The wheel's type, strokes and spacing at `scale` times their designed
    // size (the display form's scale), and its new place when given; the
    // children are placed anew, once.
    void setScale(double scale, std::optional<QRect> geometry = std::nullopt);
    double scale() const { return scale_; }

    // The type of the house boxes at this scale, and the smallest type a
    // crowded house is given (7 points at the designed size, as Qt draws it:
    // in whole pixels), in pixels.
    int housePixels() const;
    int smallestHousePixels() const;

    // Wheel geometry in this widget's logical pixels.
    QPointF centre() const;
    double outerRadius() const;  // outer rim of the sign ring
    double ringRadius() const;   // inner rim of the sign ring
    double hubRadius() const;    // the small circle in the middle
    // Angle of the middle of house 1..12 in degrees, counter-clockwise from
    // the right-hand horizontal (house 1 lies just below the left horizontal).
    static double houseMidAngle(int house);
    // The point at `radius` pixels from the centre in direction `degrees`.
    QPointF polar(double radius, double degrees) const;
    // The house 1..12 whose sector holds `point`; 0 outside the sectors.
    int houseAt(const QPointF& point) const;
    // The wheel's lines: the twelve cusps and the circles.
    void paintLines(QPainter& painter) const;

    // Where the lines of `box` go in house `house` (1..12): the largest type
    // from housePixels() down to smallestHousePixels() in one column, then in
    // two, at which every line keeps clear of the house's lines, nearest the
    // middle of the sector. When none does, two columns in the smallest type
    // at the place that reaches least over the lines.
    HouseArrangement arrangeHouse(const HouseBox& box, int house) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeHouseBox(int element);

    double scale_ = 1.0;
    bool rescaling_ = false;  // setScale places the children itself
    std::array<HouseBox*, 12> lblNatal_{};
    std::array<SignImage*, 12> imgSign_{};
    std::array<QLabel*, 12> lblNatalPosition_{};
    std::array<QLabel*, 12> signBoxes_{};
};

}  // namespace qv
