// The twelve sign glyphs (the image list "IMG") and the picture control that
// shows one of them ("imgSign"). The glyphs are vector outlines, so they stay
// crisp at any size and on any screen scale.
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

class QPainter;

namespace qv {

// Picture numbers of the list run from 1 (Aries) to 12 (Pisces); 0 is "no picture".
class SignGlyphList {
public:
    static constexpr int kCount = 12;

    // True for a picture number the list holds (1..12).
    static bool isPicture(int picture) { return picture >= 1 && picture <= kCount; }
    // The glyph's outline, fitted into the unit square (0,0)-(1,1) and
    // centred in it; empty for a number the list does not hold.
    static QPainterPath outline(int picture);
    // The colour of the glyph's element: fire, earth, air, water.
    static QColor elementColour(int picture);
    // Paints the glyph centred in `box`, filled with `colour`.
    static void paint(QPainter& painter, const QRectF& box, int picture, const QColor& colour);
    // The glyph as a picture of `size` logical pixels for a device pixel ratio.
    static QPixmap pixmap(int picture, const QSize& size, qreal devicePixelRatio = 1.0);
    // True when the glyphs come from the zodiac characters of the installed
    // font; false when the font lacks them and letters stand in.
    static bool usesZodiacFont();
};

// One sign picture in the chart wheel. "picture" is the number of the glyph
// of the list it shows (0 = none).
class SignImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int picture READ picture WRITE setPicture)
public:
    explicit SignImage(QWidget* parent = nullptr);
    int picture() const { return picture_; }
    // Shows glyph `picture` of the list; a number the list does not hold is ignored.
    void setPicture(int picture);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int picture_ = 0;
};

}  // namespace qv
