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

class QPainter;

namespace qv {

class SignImage;

// One house box: holds the text the calculation joined (a line break before
// each body) and shows the house's bodies one per line, centred, and "Asc"
// last in the banner colour when the ascendant is in the house. A crowded box
// may reach over its sector's cusps; the wheel's lines are drawn over its
// backing and under its text.
class HouseBox : public QLabel {
    Q_OBJECT
public:
    explicit HouseBox(QWidget* parent = nullptr);
    // The box's text, and the labels and ascendant it shows.
    void setHouse(const QString& text, const QStringList& labels, bool ascendant);
    // The lines the box shows: the labels, blanks trimmed, then "Asc".
    QStringList shownLines() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont shownFont() const;
    // True for the shown line `i` that is the ascendant's.
    bool isAscendantLine(qsizetype i) const { return ascendant_ && i == labels_.size(); }

    QStringList labels_;
    bool ascendant_ = false;
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
    // The wheel's lines: the twelve cusps and the circles. The house boxes
    // draw them again above their backing, so no line is ever hidden.
    void paintLines(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeHouseBox(int element);
    // How far, in pixels summed over its corners, `rect` reaches out of the
    // sector of house `house` (1..12) between the hub and the sign ring.
    double overreach(const QRect& rect, int house) const;

    std::array<HouseBox*, 12> lblNatal_{};
    std::array<SignImage*, 12> imgSign_{};
    std::array<QLabel*, 12> lblNatalPosition_{};
    std::array<QLabel*, 12> signBoxes_{};
};

}  // namespace qv
